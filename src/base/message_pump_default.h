// The pump of plain worker threads: sleeps on an event between tasks.
//
// Thread affinity: Run, Quit and WakeAt on the pump's thread; Wake anywhere.

#ifndef BASE_MESSAGE_PUMP_DEFAULT_H_
#define BASE_MESSAGE_PUMP_DEFAULT_H_

#include "base/message_pump.h"
#include "base/scoped_handle.h"

namespace base {

class MessagePumpDefault : public MessagePump {
 public:
  MessagePumpDefault();
  ~MessagePumpDefault() override = default;

  void Run(Delegate* delegate) override;
  void Quit() override { keep_running_ = false; }
  void Wake() override { SetEvent(event_.Get()); }
  void WakeAt(Ticks run_time) override { delayed_work_time_ = run_time; }

 private:
  // Sleeps until woken or until the next delayed task is due.
  void WaitForWork();

  bool keep_running_ = true;
  ScopedHandle event_;           // auto-reset, signalled by Wake
  Ticks delayed_work_time_ = 0;  // 0 when no delayed task waits
};

}  // namespace base

#endif  // BASE_MESSAGE_PUMP_DEFAULT_H_
