#include "app_startup.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "app_global.h"
#include "bench_report.h"
#include "base/exit_callbacks.h"
#include "base/message_loop.h"
#include "base/named_threads.h"
#include "base/thread_table.h"
#include "log/log_assist.h"
#include "main_window.h"
#include "sys/file_version.h"
#include "sys/path_util.h"
#include "sys/string_util.h"
#include "sys/sys_info.h"
#include "ui/utility_window.h"

namespace {

constexpr int kCsidlRoamingAppData = 26;

// The utility window's view of the controller, which is counted: tasks
// posted to the threads hold references too.
class InstallerMainWindow : public MainWindow {
 public:
  static std::unique_ptr<MainWindow> Make() { return std::make_unique<InstallerMainWindow>(); }
  bool CreateFromSkin(const wchar_t* skin_name) override {
    window_ = new CUIMainWindowEx();
    return window_->CreateAndShow(skin_name);
  }
  HWND hwnd() const override { return window_ ? window_->hwnd() : nullptr; }

 private:
  base::scoped_refptr<CUIMainWindowEx> window_;
};

// Asks a running instance to show itself; true when there is one.
bool SignalExistingInstance() {
  HWND existing = FindWindowExW(HWND_MESSAGE, nullptr, kUtilityWindowClass,
                                kUtilityWindowTitle);
  if (!existing || !IsWindow(existing) ||
      GetWindowLongPtrW(existing, GWLP_USERDATA) != kInstanceMarker)
    return false;
  PostMessageW(existing, kMsgShowExisting, 0, 0);
  return true;
}

void StartNamedThread(base::LazyThread& holder, const char* name, int loop_kind,
                      int thread_id) {
  base::Thread* thread = holder.Get();
  if (thread->IsRunning()) return;
  thread->SetName(name);
  base::ThreadOptions options;
  options.loop_kind = loop_kind;
  if (thread->Start(options)) base::RegisterThreadLoop(thread_id, thread->loop());
}

void StopThread(base::Thread* thread) {
  if (thread) thread->Stop();
}

}  // namespace

std::wstring DefaultInstallRoot(int os_version_code) {
  if (os_version_code > 6) return GetSpecialFolder(kCsidlRoamingAppData, false);
  return L"C:\\Program Files";
}

int Run(int show_command) {
  (void)show_command;
  StartNamedThread(base::FileThreadHolder(), "file_thread",
                   base::MessageLoop::kLoopDefault, base::kThreadFile);
  StartNamedThread(base::IoThreadHolder(), "io_thread", base::MessageLoop::kLoopIo,
                   base::kThreadIo);

  CGlobal& global = Global();
  global.install_dir = DefaultInstallRoot(GetOsVersionCode());
  global.zip_path = global.install_dir;

  int result = 1;
  {
    base::MessageLoop ui_loop(base::MessageLoop::kLoopUi);
    if (ui_loop.name().empty()) ui_loop.set_name("ui_thread");
    base::RegisterThreadLoop(base::kThreadUi, &ui_loop);

    applog::LogAssist& log = applog::LogAssist::Instance();
    log.Init(3, L"LOGINIT\\");
    char line[64];
    snprintf(line, sizeof(line), "sys lang: %d", global.lang_id);
    log.Log("src\\Main", 67, 3, line);
    log.Log("src\\Main", 75, 3, "app started " + WideToAnsi(GetModuleFileVersion(nullptr)));

    CUtilityWindow& utility = CUtilityWindow::Instance();
    if (utility.Create(global.is_chinese)) {
      ui_loop.Run();
      utility.Destroy();
    }

    StopThread(base::IoThreadHolder().Peek());
    StopThread(base::FileThreadHolder().Peek());
    StopThread(log.writer().Peek());
  }  // the UI loop goes: pending tasks dropped unrun
  BenchReport("exit");
  return result;
}

int RunEntry(HINSTANCE instance, int show_command) {
  if (SignalExistingInstance()) return 0;

  base::ExitCallbacks exit_callbacks;
  SetAppInstance(instance);
  SetTaskbarButtonCreatedMessage(RegisterWindowMessageW(L"TaskbarButtonCreated"));
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  DefWindowProcW(nullptr, 0, 0, 0);
  int argc = 0;
  LocalFree(CommandLineToArgvW(GetCommandLineW(), &argc));  // no options

  LoadSystemLanguage();
  CGlobal& global = Global();
  global.lang_id = SystemLanguage();
  global.is_chinese = IsChineseSystem();

  CUtilityWindow::Instance().set_main_window_factory(&InstallerMainWindow::Make);
  return Run(show_command);
}
