#ifndef ORV_BENCH_REPORT_H_
#define ORV_BENCH_REPORT_H_

// Milestones for the benchmarks. Only when the environment variable
// ORV_BENCH_REPORT names a file, each call appends one line to it:
//   <event> <milliseconds since the process was created> <peak private bytes>
// Otherwise it costs one cached look-up.
void BenchReport(const char* event);

#endif  // ORV_BENCH_REPORT_H_
