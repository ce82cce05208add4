// The reference transfer: a bare WinINet read loop with 64 KiB reads into a
// file, nothing else.
//   bench_wininet.exe URL Z:\path\file
// Prints "seconds=S bytes=B ok=1"; deletes the file afterwards.

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: bench_wininet URL PATH\n");
    return 2;
  }
  constexpr DWORD kReadBytes = 64 * 1024;
  std::vector<char> buffer(kReadBytes);
  long long total = 0;
  bool ok = false;
  double start = BenchSeconds();
  HINTERNET internet =
      InternetOpenA("bench_wininet", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET request = internet ? InternetOpenUrlA(internet, argv[1], nullptr, 0,
                                                  INTERNET_FLAG_NO_CACHE_WRITE, 0)
                               : nullptr;
  HANDLE file = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (request && file != INVALID_HANDLE_VALUE) {
    for (;;) {
      DWORD read = 0;
      if (!InternetReadFile(request, buffer.data(), kReadBytes, &read)) break;
      if (read == 0) {
        ok = true;
        break;
      }
      DWORD written = 0;
      if (!WriteFile(file, buffer.data(), read, &written, nullptr) || written != read) break;
      total += read;
    }
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (request) InternetCloseHandle(request);
  if (internet) InternetCloseHandle(internet);
  double seconds = BenchSeconds() - start;
  DeleteFileA(argv[2]);
  printf("seconds=%.6f bytes=%lld ok=%d\n", seconds, total, ok ? 1 : 0);
  return ok ? 0 : 1;
}
