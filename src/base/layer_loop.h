// A nested window-message loop for modal dialogs. It has no tasks of its own:
// its pump drives the ui_thread loop's pump and delegate, so UI tasks keep
// running while it runs, and quitting it ends only the nested run.
//
// Thread affinity: ui_thread only, like the stack of running layer loops.
//
//   base::MessageLoop::LayerLoop layer(ThreadLoop(kThreadUi)->ui_pump());
//   layer.Run();                                   // returns after...
//   base::MessageLoop::LayerLoop::QuitTop();       // ...this, from a handler

#ifndef BASE_LAYER_LOOP_H_
#define BASE_LAYER_LOOP_H_

#include "base/message_loop.h"
#include "base/message_pump_ui.h"

namespace base {

class MessageLoop::LayerLoop : public MessagePump::Delegate {
 public:
  explicit LayerLoop(MessagePumpForUI* outer_pump);
  LayerLoop(const LayerLoop&) = delete;
  LayerLoop& operator=(const LayerLoop&) = delete;

  void Run();
  MessagePumpForUI* pump() { return &pump_; }

  // The innermost running layer loop, or null.
  static LayerLoop* Top();
  // Ends this loop. Called while a loop nested inside it runs, this one
  // returns once that inner one has.
  void Quit() { pump_.Quit(); }
  // Ends the innermost running layer loop; nothing when none runs.
  static void QuitTop();

  bool RunWork() override { return false; }
  bool RunDelayedWork(Ticks*) override { return false; }
  bool RunIdleWork() override { return false; }

 private:
  MessagePumpForUI pump_;
};

}  // namespace base

#endif  // BASE_LAYER_LOOP_H_
