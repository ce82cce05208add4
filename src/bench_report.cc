#include "bench_report.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

const std::wstring& ReportPath() {
  static const std::wstring path = [] {
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"ORV_BENCH_REPORT", buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
  }();
  return path;
}

uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

void BenchReport(const char* event) {
  const std::wstring& path = ReportPath();
  if (path.empty()) return;
  FILETIME created, exited, kernel, user, now;
  GetSystemTimeAsFileTime(&now);
  double ms = 0;
  if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
    ms = static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
  // Straight from kernel32: no psapi.dll import for a bench-only figure.
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  FILE* file = _wfopen(path.c_str(), L"a");
  if (!file) return;
  fprintf(file, "%s %.1f %llu\n", event, ms,
          static_cast<unsigned long long>(memory.PeakPagefileUsage));
  fclose(file);
}
