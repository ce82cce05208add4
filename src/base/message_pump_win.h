// What the two Windows pumps share: the delayed-work time, the run flag, the
// coalescing wake flag and the message observers.
//
// Invariant: at most one wake message or wake packet is outstanding per pump
// (|have_work_| is 1 while it is).

#ifndef BASE_MESSAGE_PUMP_WIN_H_
#define BASE_MESSAGE_PUMP_WIN_H_

#include <windows.h>

#include <atomic>

#include "base/message_pump.h"
#include "base/observer_list.h"

namespace base {

class MessagePumpWin : public MessagePump {
 public:
  // Sees each window message a UI pump handles, before and after dispatch.
  class MessagePumpObserver {
   public:
    virtual void WillProcessMessage(const MSG& msg) = 0;
    virtual void DidProcessMessage(const MSG& msg) = 0;

   protected:
    ~MessagePumpObserver() = default;
  };

  void Quit() override { keep_running_ = false; }

  // The completion port producers post to; null for pumps without one.
  virtual HANDLE CompletionPort() { return nullptr; }

  void AddObserver(MessagePumpObserver* observer) {
    observers_.AddObserver(observer);
  }
  void RemoveObserver(MessagePumpObserver* observer) {
    observers_.RemoveObserver(observer);
  }

 protected:
  // Milliseconds until the next delayed task, rounded up; 0 when it is due,
  // -1 when there is none.
  int CurrentDelay() const;

  ObserverListBase<MessagePumpObserver> observers_;
  Ticks delayed_work_time_ = 0;
  bool keep_running_ = true;
  std::atomic<long> have_work_{0};  // written by Wake on any thread
};

}  // namespace base

#endif  // BASE_MESSAGE_PUMP_WIN_H_
