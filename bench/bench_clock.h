#ifndef ORV_BENCH_BENCH_CLOCK_H_
#define ORV_BENCH_BENCH_CLOCK_H_

#include <windows.h>

// Seconds on the performance counter, for the bench programs' own timing.
inline double BenchSeconds() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

#endif  // ORV_BENCH_BENCH_CLOCK_H_
