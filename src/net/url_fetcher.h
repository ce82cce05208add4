// One HTTP GET through WinINet, into memory (the service's JSON answer) or
// into a file (the package).
//
// Thread affinity: Start and Cancel on ui_thread. The run starts on
// io_thread, the blocking WinINet calls run on a system pool thread, the
// completion packet returns through io_thread's completion port, and the
// delegate hears progress and completion on ui_thread.
//
// Ownership: reference-counted. The creator holds the first reference; a run
// holds two more (worker and completion packet), every posted task one. A
// file request deletes its file when the last reference goes, also after a
// successful run.
//
// Trust: WinINet's certificate checks stay as they are (no ignore flag is
// ever set). Redirects are followed here, not by WinINet, so that an HTTPS
// address never leads to plain HTTP. A file request with a SHA-256 hashes
// the body as it streams and fails unless it matches.

#ifndef NET_URL_FETCHER_H_
#define NET_URL_FETCHER_H_

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "base/message_loop.h"
#include "base/message_pump_io.h"
#include "base/ref_counted.h"
#include "base/scoped_handle.h"

namespace net {

enum FetchKind { kFetchToMemory = 0, kFetchToFile = 1 };

// Left in error_code() by a failed run.
enum FetchError {
  kFetchErrorNone = 0,      // no specific cause known
  kFetchErrorReserve = 1,   // the volume cannot hold the file
  kFetchErrorNoLength = 4,  // no positive Content-Length on a file transfer
  kFetchErrorDigest = 5,    // the whole file arrived but its SHA-256 differs
};

extern const char kUserAgent[];
constexpr DWORD kFetchTimeoutMs = 20000;
// A file transfer reports progress after more than this many new bytes.
constexpr int64_t kProgressStep = 204800;
// A memory body longer than this fails the run.
constexpr size_t kMaxMemoryBody = 1024 * 1024;
// Redirects followed before a run fails.
constexpr int kMaxRedirects = 10;

struct FetchRequest {
  explicit FetchRequest(const std::string& address)
      : url(address), kind(kFetchToMemory) {}
  FetchRequest(const std::string& address, const std::wstring& file,
               const std::string& digest = std::string())
      : url(address), path(file), sha256(digest), kind(kFetchToFile) {}

  std::string url;
  std::wstring path;
  std::string sha256;  // lower-case hex the file must hash to; empty: unchecked
  int kind;
};

class URLFetcher : public base::MessagePumpForIO::IOHandler,
                   public base::MessageLoop::DestructionObserver,
                   public base::RefCountedThreadSafe<URLFetcher> {
 public:
  // Called on ui_thread.
  class URLFetcherDelegate {
   public:
    // Once per run, after every progress call of that run.
    virtual void OnFetchComplete(const URLFetcher* source) = 0;
    // File transfers only: fractions 0..1; a successful run ends with 1.0.
    virtual void OnFetchProgress(const URLFetcher* source, double fraction) {
      (void)source;
      (void)fraction;
    }
    virtual ~URLFetcherDelegate() = default;
  };

  // io_thread's loop must be registered (kThreadIo). |delegate| is not owned.
  URLFetcher(const FetchRequest& request, URLFetcherDelegate* delegate);

  // Starts a run; only while no run is in flight. Resets the results of the
  // previous run.
  void Start();
  // The delegate is never called again; the worker stops at its next check.
  void Cancel();

  // The owner may re-target an idle fetcher.
  void set_url(const std::string& url) { url_ = url; }
  void set_path(const std::wstring& path) { path_ = path; }
  void set_sha256(const std::string& sha256) { sha256_ = sha256; }
  const std::string& url() const { return url_; }
  const std::wstring& path() const { return path_; }

  // Results, read by the delegate once the run completed.
  bool succeeded() const { return succeeded_; }
  const std::string& body() const { return body_; }
  int error_code() const { return error_code_; }
  double progress() const { return progress_; }

  // Send and receive timeouts of twice |timeout_ms|, the connect timeout and
  // two connect retries; true when all four were set.
  static bool ApplyTimeouts(HINTERNET handle, DWORD timeout_ms);

 private:
  friend class base::RefCountedThreadSafe<URLFetcher>;
  ~URLFetcher() override;

  void StartOnIOThread();
  static DWORD WINAPI DoTransferThunk(void* fetcher);
  void DoTransfer();
  // Return whether the run succeeded.
  bool TransferToMemory(HINTERNET request);
  bool TransferToFile(HINTERNET request);
  void PostProgress(double fraction);

  // IOHandler: the completion packet, on io_thread.
  void OnIOComplete(void* context, DWORD bytes, DWORD error) override;
  // DestructionObserver: io_thread's loop goes while a run is registered.
  void OnLoopDestroying() override;

  void NotifyComplete();
  void NotifyProgress(double fraction);

  // Written by the worker before the completion packet; read on ui_thread
  // after NotifyComplete.
  bool succeeded_ = false;
  std::string body_;
  int error_code_ = kFetchErrorNone;

  // Set on ui_thread or io_thread, polled by the worker between reads.
  std::atomic<bool> cancelled_{false};

  std::string url_;
  std::wstring path_;
  std::string sha256_;
  HANDLE io_port_;
  OVERLAPPED io_context_ = {};
  int kind_;
  // Written on ui_thread only (null after Cancel); io_thread reads it to
  // skip a needless post.
  std::atomic<URLFetcherDelegate*> delegate_;
  base::ScopedHandle done_event_;  // manual reset; set at the end of every run
  double progress_ = 0;            // ui_thread only
};

}  // namespace net

#endif  // NET_URL_FETCHER_H_
