// A modal dialog's nested loop keeps ui_thread tasks running; quitting it ends
// only the nested run, while a WM_QUIT ends both.

#include "base/layer_loop.h"

#include <gtest/gtest.h>

#include "tests/base/test_util.h"

namespace {

using testing_util::Calls;
using testing_util::ProbeTask;
using testing_util::Recorder;
using Strings = std::vector<std::string>;

constexpr base::Ticks kMs = 1000;

class FakeDialog {
 public:
  FakeDialog(Recorder* rec, base::MessageLoop* ui) : rec_(rec), ui_(ui) {}

  void DoModal() {
    rec_->Add("open");
    base::MessageLoop::LayerLoop layer(ui_->ui_pump());
    ui_->PostNow(ProbeTask(rec_, "task-during-modal"));
    ui_->PostDelayed(ProbeTask(rec_, "delayed-during-modal"), 20 * kMs);
    ui_->PostDelayed(MakeTask(base::WrapUnretained(this), &FakeDialog::Close), 40 * kMs);
    layer.Run();
    rec_->Add("closed");
    top_after_close = base::MessageLoop::LayerLoop::Top();
    ui_->PostNow(ProbeTask(rec_, "after-modal"));
    ui_->PostQuit();
  }

  void DoModalUntilQuitMessage() {
    rec_->Add("open");
    base::MessageLoop::LayerLoop layer(ui_->ui_pump());
    PostQuitMessage(3);
    // Only a safety net: the quit message must end the nested run first.
    ui_->PostDelayed(MakeTask(base::WrapUnretained(this), &FakeDialog::Close), 2000 * kMs);
    layer.Run();
    rec_->Add("closed");
    ui_->PostNow(ProbeTask(rec_, "never"));
  }

  void Close() {
    rec_->Add("close");
    top_while_open = base::MessageLoop::LayerLoop::Top();
    base::MessageLoop::LayerLoop::QuitTop();
  }

  base::MessageLoop::LayerLoop* top_while_open = nullptr;
  base::MessageLoop::LayerLoop* top_after_close = reinterpret_cast<base::MessageLoop::LayerLoop*>(1);

 private:
  Recorder* rec_;
  base::MessageLoop* ui_;
};

class LayerLoopTest : public testing::Test {
 protected:
  void TearDown() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
  }
};

TEST_F(LayerLoopTest, UiTasksRunDuringTheNestedRunAndQuitEndsOnlyIt) {
  Recorder rec;
  base::MessageLoop ui(base::MessageLoop::kLoopUi);
  FakeDialog dialog(&rec, &ui);
  ui.PostNow(MakeTask(base::WrapUnretained(&dialog), &FakeDialog::DoModal));
  ui.PostNow(ProbeTask(&rec, "queued-behind-open"));
  ui.Run();
  EXPECT_EQ(Calls(rec.entries()),
            (Strings{"open", "queued-behind-open", "task-during-modal", "delayed-during-modal",
                     "close", "closed", "after-modal"}));
  EXPECT_NE(dialog.top_while_open, nullptr);
  EXPECT_EQ(dialog.top_after_close, nullptr);
}

TEST_F(LayerLoopTest, QuitMessageDuringTheNestedRunEndsItAndTheOuterRun) {
  Recorder rec;
  base::MessageLoop ui(base::MessageLoop::kLoopUi);
  FakeDialog dialog(&rec, &ui);
  ui.PostNow(MakeTask(base::WrapUnretained(&dialog), &FakeDialog::DoModalUntilQuitMessage));
  ui.Run();
  EXPECT_EQ(Calls(rec.entries()), (Strings{"open", "closed"}));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // kept for outer loops
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(LayerLoopTest, QuitTopWithoutARunningLayerDoesNothing) {
  EXPECT_EQ(base::MessageLoop::LayerLoop::Top(), nullptr);
  base::MessageLoop::LayerLoop::QuitTop();
}

}  // namespace
