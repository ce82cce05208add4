#include "base/message_pump_win.h"

namespace base {

int MessagePumpWin::CurrentDelay() const {
  if (delayed_work_time_ == 0) return -1;
  Ticks delay = delayed_work_time_ - NowTicks();
  if (delay <= 0) return 0;
  int64_t ms = CeilMilliseconds(delay);
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

}  // namespace base
