#include "base/message_pump_ui.h"

#include <cwchar>

namespace base {

namespace {

constexpr int kMinimumTimerDelayMs = 10;
constexpr UINT kFirstMouseMessage = 0x200;
constexpr UINT kLastMouseMessage = 0x20D;

HINSTANCE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCWSTR>(address), &module);
  return module;
}

}  // namespace

MessagePumpForUI::MessagePumpForUI() {
  HINSTANCE instance = ModuleOf(reinterpret_cast<const void*>(&WndProc));
  wchar_t class_name[64];
  swprintf(class_name, 64, L"Chrome_MessagePumpWindow_%p", static_cast<void*>(this));
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WndProc;
  wc.hInstance = instance;
  wc.lpszClassName = class_name;
  atom_ = RegisterClassExW(&wc);
  if (atom_) {
    window_ = CreateWindowExW(0, MAKEINTATOM(atom_), nullptr, 0, 0, 0, 0, 0,
                              HWND_MESSAGE, nullptr, instance, nullptr);
  }
}

MessagePumpForUI::MessagePumpForUI(NoWindow) {}

MessagePumpForUI::~MessagePumpForUI() {
  if (window_) {
    KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
    DestroyWindow(window_);
  }
  if (atom_) {
    UnregisterClassW(MAKEINTATOM(atom_),
                     ModuleOf(reinterpret_cast<const void*>(&WndProc)));
  }
}

LRESULT CALLBACK MessagePumpForUI::WndProc(HWND hwnd, UINT message,
                                           WPARAM wparam, LPARAM lparam) {
  if (message == kMsgPumpWork) {
    reinterpret_cast<MessagePumpForUI*>(wparam)->HandleWorkMessage();
  } else if (message == WM_TIMER) {
    reinterpret_cast<MessagePumpForUI*>(wparam)->HandleTimerMessage();
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void MessagePumpForUI::HandleWorkMessage() {
  have_work_.exchange(0);
  if (!delegate_) return;
  // A native modal loop (system move loop, common dialog) only dispatches
  // messages: ask for another work message so its tasks keep draining.
  if (delegate_->RunWork()) Wake();
}

void MessagePumpForUI::HandleTimerMessage() {
  KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
  if (!delegate_) return;
  delegate_->RunDelayedWork(&delayed_work_time_);
  if (delayed_work_time_ != 0) WakeAt(delayed_work_time_);
}

void MessagePumpForUI::Wake() {
  if (!window_) return;
  if (have_work_.exchange(1) == 1) return;
  if (!PostMessageW(window_, kMsgPumpWork, reinterpret_cast<WPARAM>(this), 0))
    have_work_.exchange(0);
}

void MessagePumpForUI::WakeAt(Ticks run_time) {
  delayed_work_time_ = run_time;
  if (!window_) return;
  int delay = CurrentDelay();
  if (delay < kMinimumTimerDelayMs) delay = kMinimumTimerDelayMs;
  KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
  SetTimer(window_, reinterpret_cast<UINT_PTR>(this), static_cast<UINT>(delay),
           nullptr);
}

bool MessagePumpForUI::ProcessNextMessage() {
  bool sent_messages_waiting =
      (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0;
  MSG msg;
  if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return ProcessMessage(msg);
  return sent_messages_waiting;
}

bool MessagePumpForUI::ProcessMessage(const MSG& msg) {
  if (msg.message == WM_QUIT) {
    keep_running_ = false;
    // Left in the queue for any loop further out.
    PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  observers_.Notify(&MessagePumpObserver::WillProcessMessage, msg);
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  observers_.Notify(&MessagePumpObserver::DidProcessMessage, msg);
  return true;
}

void MessagePumpForUI::WaitForWork(int delay_ms) {
  DWORD timeout = delay_ms < 0 ? INFINITE : static_cast<DWORD>(delay_ms);
  DWORD result = MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT,
                                             MWMO_INPUTAVAILABLE);
  if (result != WAIT_OBJECT_0) return;
  // Mouse input reported but not peekable (it went to another thread's
  // window): wait for real input rather than spin.
  MSG msg;
  if ((HIWORD(GetQueueStatus(QS_MOUSE)) & QS_MOUSE) != 0 &&
      !PeekMessageW(&msg, nullptr, kFirstMouseMessage, kLastMouseMessage,
                    PM_NOREMOVE)) {
    WaitMessage();
  }
}

void MessagePumpForUI::Run(Delegate* delegate) {
  MessagePumpForUI* driver = outer_ ? outer_ : this;
  if (!outer_) delegate_ = delegate;
  for (;;) {
    bool more = driver->ProcessNextMessage();
    // A WM_QUIT read for the outer pump ends the nested run as well, so the
    // outer loop can stop instead of this one spinning on the reposted quit.
    if (outer_ && !outer_->keep_running_) keep_running_ = false;
    if (!keep_running_) break;
    Delegate* work = driver->delegate_;
    if (!work) {
      if (!more) WaitForWork(CurrentDelay());
      continue;
    }
    more |= work->RunWork();
    if (!keep_running_) break;
    more |= work->RunDelayedWork(&delayed_work_time_);
    if (!keep_running_) break;
    if (more) continue;
    more = work->RunIdleWork();
    if (!keep_running_) break;
    if (more) continue;
    WaitForWork(CurrentDelay());
  }
  keep_running_ = true;
}

}  // namespace base
