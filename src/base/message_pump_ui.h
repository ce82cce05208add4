// The window-message pump of ui_thread: dispatches window messages between
// tasks and sleeps in MsgWaitForMultipleObjectsEx.
//
// Tasks are signalled by one kMsgPumpWork message posted to the pump's own
// message-only window; delayed tasks by a timer on that window. A pump made
// for a nested (modal) run has no window of its own and drives the outer
// pump's delegate, so ui_thread tasks keep running under a modal dialog.
//
// Thread affinity: everything on the owning thread except Wake.

#ifndef BASE_MESSAGE_PUMP_UI_H_
#define BASE_MESSAGE_PUMP_UI_H_

#include "base/message_pump_win.h"

namespace base {

constexpr UINT kMsgPumpWork = WM_USER + 1;

class MessagePumpForUI : public MessagePumpWin {
 public:
  struct NoWindow {};

  // An ordinary pump with its own message window.
  MessagePumpForUI();
  // A pump for a nested run; SetOuterPump must be called before Run.
  explicit MessagePumpForUI(NoWindow);
  ~MessagePumpForUI() override;
  MessagePumpForUI(const MessagePumpForUI&) = delete;
  MessagePumpForUI& operator=(const MessagePumpForUI&) = delete;

  void SetOuterPump(MessagePumpForUI* outer) { outer_ = outer; }

  // With an outer pump, |delegate| is ignored and the outer one is driven.
  void Run(Delegate* delegate) override;
  void Wake() override;
  void WakeAt(Ticks run_time) override;

  HWND message_window() const { return window_; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam,
                                  LPARAM lparam);
  void HandleWorkMessage();
  void HandleTimerMessage();

  // Handles one queued message; false when none was there or it was WM_QUIT.
  bool ProcessNextMessage();
  bool ProcessMessage(const MSG& msg);
  // Sleeps until input, a wake message or |delay_ms| (-1: no limit).
  static void WaitForWork(int delay_ms);

  ATOM atom_ = 0;
  HWND window_ = nullptr;
  Delegate* delegate_ = nullptr;       // set by the first Run
  MessagePumpForUI* outer_ = nullptr;  // the pump a nested run drives
  bool quit_seen_ = false;  // WM_QUIT was handled by this pump's queue read
};

}  // namespace base

#endif  // BASE_MESSAGE_PUMP_UI_H_
