// The completion-port pump of io_thread: waits for completion packets
// between tasks and hands each to the IOHandler named by its key.
//
// A producer posts a packet with key = its IOHandler (bit 0 set when the
// overlapped pointer is not a context record) and the overlapped pointer as
// context. The pump's own wake packet carries the pump as key and context.
//
// Thread affinity: everything on io_thread except Wake and the producers'
// posts to CompletionPort().

#ifndef BASE_MESSAGE_PUMP_IO_H_
#define BASE_MESSAGE_PUMP_IO_H_

#include "base/message_pump_win.h"
#include "base/scoped_handle.h"

namespace base {

class MessagePumpForIO : public MessagePumpWin {
 public:
  class IOHandler {
   public:
    virtual ~IOHandler() = default;
    // Runs on io_thread. A failed packet arrives with 0 bytes and its error.
    virtual void OnIOComplete(void* context, DWORD bytes, DWORD error) = 0;
  };

  MessagePumpForIO();
  ~MessagePumpForIO() override = default;
  MessagePumpForIO(const MessagePumpForIO&) = delete;
  MessagePumpForIO& operator=(const MessagePumpForIO&) = delete;

  void Run(Delegate* delegate) override;
  void Wake() override;
  void WakeAt(Ticks run_time) override { delayed_work_time_ = run_time; }
  HANDLE CompletionPort() override { return port_.Get(); }

 private:
  // Handles at most one packet; false when none arrived within |timeout_ms|
  // (-1: no limit).
  bool WaitForIOCompletion(int timeout_ms);

  ScopedHandle port_;
};

}  // namespace base

#endif  // BASE_MESSAGE_PUMP_IO_H_
