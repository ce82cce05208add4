// Times one file transfer through net::URLFetcher, set up as the installer
// sets it up: ui_thread runs the UI loop, io_thread the completion port.
//   bench_fetch.exe URL Z:\path\file [SHA256]
// With SHA256 the transfer is verified against it, as a package the
// service vouched for is.
// Prints one line: "seconds=S bytes=B ok=1 private=P peak_private=Q peak_ws=W"
// (memory figures in bytes, read after the transfer).

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/message_loop.h"
#include "bench_clock.h"
#include "base/ref_counted.h"
#include "base/thread.h"
#include "base/thread_table.h"
#include "net/url_fetcher.h"
#include "sys/string_util.h"

namespace {

class Listener : public net::URLFetcher::URLFetcherDelegate {
 public:
  void OnFetchComplete(const net::URLFetcher* source) override {
    end = BenchSeconds();
    succeeded = source->succeeded();
    base::MessageLoop::Current()->Quit();
  }
  void OnFetchProgress(const net::URLFetcher* source, double fraction) override {
    (void)source;
    last_fraction = fraction;
    ++progress_calls;
  }
  double end = 0;
  double last_fraction = 0;
  int progress_calls = 0;
  bool succeeded = false;
};

int64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    fprintf(stderr, "usage: bench_fetch URL PATH [SHA256]\n");
    return 2;
  }
  const std::string url = argv[1];
  const std::wstring path = Utf8ToWide(argv[2]);
  const std::string sha256 = argc == 4 ? argv[3] : "";

  auto ui_loop = std::make_unique<base::MessageLoop>(base::MessageLoop::kLoopUi);
  base::RegisterThreadLoop(base::kThreadUi, ui_loop.get());
  base::Thread io_thread;
  io_thread.SetName("io_thread");
  base::ThreadOptions options;
  options.loop_kind = base::MessageLoop::kLoopIo;
  if (!io_thread.Start(options)) return 3;
  base::RegisterThreadLoop(base::kThreadIo, io_thread.loop());

  Listener listener;
  int64_t bytes = -1;
  double start = 0;
  {
    base::scoped_refptr<net::URLFetcher> fetcher(
        new net::URLFetcher(net::FetchRequest(url, path, sha256), &listener));
    start = BenchSeconds();
    fetcher->Start();
    ui_loop->Run();
    // The fetcher deletes its file when released: check it first.
    bytes = FileSize(path);
  }

  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(),
                       reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  bool ok = listener.succeeded && listener.last_fraction == 1.0;
  printf("seconds=%.6f bytes=%lld ok=%d progress_calls=%d private=%llu peak_private=%llu "
         "peak_ws=%llu\n",
         listener.end - start, static_cast<long long>(bytes), ok ? 1 : 0,
         listener.progress_calls, static_cast<unsigned long long>(memory.PrivateUsage),
         static_cast<unsigned long long>(memory.PeakPagefileUsage),
         static_cast<unsigned long long>(memory.PeakWorkingSetSize));
  fflush(stdout);

  io_thread.Stop();
  ui_loop.reset();
  return ok ? 0 : 1;
}
