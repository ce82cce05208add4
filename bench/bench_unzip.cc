// Times ExtractZip on one archive.
//   bench_unzip.exe Z:\archive.zip Z:\folder
// Prints "seconds=S ok=1".

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_clock.h"
#include "sys/string_util.h"
#include "sys/zip_extract.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: bench_unzip ARCHIVE FOLDER\n");
    return 2;
  }
  double start = BenchSeconds();
  bool ok = ExtractZip(Utf8ToWide(argv[1]), Utf8ToWide(argv[2]));
  printf("seconds=%.6f ok=%d\n", BenchSeconds() - start, ok ? 1 : 0);
  return ok ? 0 : 1;
}
