#include "base/ticks.h"

#include <windows.h>
#include <mmsystem.h>

namespace base {

Ticks TickClock::Now() {
  AutoLock hold(lock_);
  uint32_t value = source_();
  if (value < last_) wrap_offset_ += int64_t{1} << 32;
  last_ = value;
  return (static_cast<int64_t>(value) + wrap_offset_) * 1000;
}

namespace {

uint32_t SystemMilliseconds() { return timeGetTime(); }

}  // namespace

Ticks NowTicks() {
  static TickClock clock(&SystemMilliseconds);
  return clock.Now();
}

}  // namespace base
