// Times ExtractZip on one archive.
//   bench_unzip.exe Z:\archive.zip Z:\folder
// Prints "seconds=S ok=1".

#include <windows.h>

#include <cstdio>
#include <string>

#include "sys/string_util.h"
#include "sys/zip_extract.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: bench_unzip ARCHIVE FOLDER\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  bool ok = ExtractZip(Utf8ToWide(argv[1]), Utf8ToWide(argv[2]));
  QueryPerformanceCounter(&end);
  printf("seconds=%.6f ok=%d\n",
         static_cast<double>(end.QuadPart - start.QuadPart) /
             static_cast<double>(frequency.QuadPart),
         ok ? 1 : 0);
  return ok ? 0 : 1;
}
