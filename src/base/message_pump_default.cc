#include "base/message_pump_default.h"

namespace base {

MessagePumpDefault::MessagePumpDefault()
    : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void MessagePumpDefault::Run(Delegate* delegate) {
  bool did_work = delegate->RunWork();
  for (;;) {
    if (!keep_running_) break;
    bool more = delegate->RunDelayedWork(&delayed_work_time_);
    if (!keep_running_) break;
    if (!did_work && !more) {
      bool idle = delegate->RunIdleWork();
      if (!keep_running_) break;
      if (!idle) WaitForWork();
    }
    did_work = delegate->RunWork();
  }
  keep_running_ = true;
}

void MessagePumpDefault::WaitForWork() {
  if (delayed_work_time_ == 0) {
    WaitForSingleObject(event_.Get(), INFINITE);
    return;
  }
  Ticks delay = delayed_work_time_ - NowTicks();
  if (delay <= 0) {
    delayed_work_time_ = 0;
    return;
  }
  WaitForSingleObject(event_.Get(), static_cast<DWORD>(CeilMilliseconds(delay)));
}

}  // namespace base
