// The loop clock: signed 64-bit microseconds, built on a 32-bit millisecond
// timer that wraps about every 49.7 days.
//
// Thread affinity: any thread; each clock has its own lock.

#ifndef BASE_TICKS_H_
#define BASE_TICKS_H_

#include <cstdint>

#include "base/lock.h"

namespace base {

using Ticks = int64_t;

// Keeps increasing across wraps of its millisecond source.
class TickClock {
 public:
  using MillisecondSource = uint32_t (*)();

  explicit TickClock(MillisecondSource source) : source_(source) {}
  TickClock(const TickClock&) = delete;
  TickClock& operator=(const TickClock&) = delete;

  Ticks Now();

 private:
  MillisecondSource source_;
  Lock lock_;
  uint32_t last_ = 0;         // last millisecond value read
  int64_t wrap_offset_ = 0;   // 2^32 added for every wrap seen
};

// The process-wide loop clock over timeGetTime.
Ticks NowTicks();

// Rounds a positive microsecond span up to whole milliseconds.
inline int64_t CeilMilliseconds(Ticks microseconds) {
  return (microseconds + 999) / 1000;
}

}  // namespace base

#endif  // BASE_TICKS_H_
