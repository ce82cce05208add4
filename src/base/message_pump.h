// The waiting half of a message loop: asks its delegate for work and sleeps
// when there is none.
//
// Thread affinity: everything runs on the pump's own thread except Wake,
// which any thread may call.

#ifndef BASE_MESSAGE_PUMP_H_
#define BASE_MESSAGE_PUMP_H_

#include "base/ticks.h"

namespace base {

class MessagePump {
 public:
  // The loop side; called back on the pump's thread.
  class Delegate {
   public:
    // Runs at most one immediate task; true if it ran one.
    virtual bool RunWork() = 0;
    // Runs at most one due delayed task; true if it ran one. Sets
    // |next_run_time| to the next delayed task's run time, 0 when none.
    virtual bool RunDelayedWork(Ticks* next_run_time) = 0;
    virtual bool RunIdleWork() = 0;

   protected:
    ~Delegate() = default;
  };

  virtual void Run(Delegate* delegate) = 0;
  // Run returns once the pump next checks; only on the pump's thread.
  virtual void Quit() = 0;
  // Makes the pump call RunWork soon. Any thread.
  virtual void Wake() = 0;
  // Records when RunDelayedWork is next due. Pump's thread only.
  virtual void WakeAt(Ticks run_time) = 0;
  virtual ~MessagePump() = default;
};

}  // namespace base

#endif  // BASE_MESSAGE_PUMP_H_
