// Once per process: the module that carries the skins, the UI loop that
// DoModal and the elements post to, and GDI+ for the images and texts.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "app_global.h"
#include "base/message_loop.h"
#include "base/thread_table.h"
#include "ui/gdi_resource.h"

namespace {

class UiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    SetAppInstance(GetModuleHandleW(nullptr));
    ui_loop_ = std::make_unique<base::MessageLoop>(base::MessageLoop::kLoopUi);
    base::RegisterThreadLoop(base::kThreadUi, ui_loop_.get());
    CGDIResource::Instance().Initialize(L"");
  }
  void TearDown() override {
    CGDIResource::Instance().Shutdown();
    ui_loop_.reset();
  }

 private:
  std::unique_ptr<base::MessageLoop> ui_loop_;
};

const ::testing::Environment* const g_ui_env =
    ::testing::AddGlobalTestEnvironment(new UiEnvironment);

}  // namespace
