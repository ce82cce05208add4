#include "net/url_fetcher.h"

#include <cstring>
#include <memory>
#include <vector>

#include "base/obj_wrapper.h"
#include "base/task.h"
#include "base/thread_table.h"
#include "log/log_assist.h"
#include "sys/path_util.h"
#include "net/streaming_digest.h"

namespace net {

const char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.0; Trident/4.0;)";

namespace {

constexpr DWORD kMemoryReadBytes = 1024;
// Each InternetReadFile call costs much under Wine; 256 KiB reads measured
// fastest of 8, 64 and 256 KiB (make bench).
constexpr DWORD kFileReadBytes = 256 * 1024;

struct InternetCloser {
  void operator()(void* handle) const { InternetCloseHandle(handle); }
};
using ScopedInternet = std::unique_ptr<void, InternetCloser>;

// The status line's code as text, empty when it cannot be read.
std::string StatusText(HINTERNET request) {
  char status[512] = {};
  DWORD length = 256;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, status, &length, nullptr)) return "";
  return status;
}

bool IsRedirectStatus(const std::string& status) {
  return status == "301" || status == "302" || status == "303" || status == "307" ||
         status == "308";
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  size_t n = strlen(prefix);
  return text.size() >= n && _strnicmp(text.c_str(), prefix, n) == 0;
}

// The Location of a redirect, made absolute against |base|; empty when it
// is missing or cannot be combined.
std::string RedirectTarget(HINTERNET request, const std::string& base) {
  std::vector<char> location(2048);
  DWORD length = static_cast<DWORD>(location.size());
  if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &length, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length > 64 * 1024) return "";
    location.assign(length + 1, '\0');
    if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &length, nullptr))
      return "";
  }
  std::vector<char> combined(location.size() + base.size() + 16);
  DWORD combined_length = static_cast<DWORD>(combined.size());
  if (!InternetCombineUrlA(base.c_str(), location.data(), combined.data(), &combined_length,
                           ICU_NO_ENCODE))
    return "";
  return std::string(combined.data(), combined_length);
}

// The request for |url| once the redirects are followed, holding a final
// status of exactly "200"; null otherwise. Only http and https targets are
// followed, and never from https to http.
ScopedInternet OpenFollowingRedirects(HINTERNET internet, std::string url, DWORD flags) {
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    ScopedInternet request(InternetOpenUrlA(internet, url.c_str(), nullptr, 0,
                                            flags | INTERNET_FLAG_NO_AUTO_REDIRECT, 0));
    if (!request) return nullptr;
    std::string status = StatusText(request.get());
    if (status == "200") return request;
    if (!IsRedirectStatus(status)) return nullptr;
    std::string next = RedirectTarget(request.get(), url);
    bool secure = StartsWithNoCase(url, "https://");
    if (StartsWithNoCase(next, "https://")) {
      url = next;
    } else if (!secure && StartsWithNoCase(next, "http://")) {
      url = next;
    } else {
      return nullptr;  // a downgrade, or a scheme we never fetch
    }
  }
  return nullptr;
}

// The Content-Length as a 64-bit count (packages may pass 4 GiB), 0 when it
// is missing or has no leading digits.
int64_t ContentLength(HINTERNET request) {
  char text[64] = {};
  DWORD length = sizeof(text) - 1;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr)) return 0;
  int64_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
    if (value > (INT64_MAX - 9) / 10) return 0;
    value = value * 10 + (*p - '0');
  }
  return value;
}

// False when the volume of |path| is known to have less than |bytes| free.
// Setting the end of file does not prove it: file systems with sparse
// files accept any length.
bool VolumeCanHold(const std::wstring& path, int64_t bytes) {
  std::wstring root = RootOf(path);
  ULARGE_INTEGER available;
  if (root.empty() || !GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr))
    return true;  // the reservation below is the remaining check
  return available.QuadPart >= static_cast<uint64_t>(bytes);
}

bool ReserveFile(HANDLE file, int64_t bytes) {
  LARGE_INTEGER end, start = {};
  end.QuadPart = bytes;
  return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
         SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
}

bool IsDiskFull(DWORD error) {
  return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

}  // namespace

URLFetcher::URLFetcher(const FetchRequest& request, URLFetcherDelegate* delegate)
    : url_(request.url),
      path_(request.path),
      sha256_(request.sha256),
      io_port_(base::ThreadLoop(base::kThreadIo)->io_pump()->CompletionPort()),
      kind_(request.kind),
      delegate_(delegate),
      done_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

URLFetcher::~URLFetcher() {
  if (kind_ == kFetchToFile && !path_.empty()) ForceDeleteFile(path_);
}

void URLFetcher::Start() {
  succeeded_ = false;
  body_.clear();
  error_code_ = kFetchErrorNone;
  cancelled_ = false;
  base::ThreadLoop(base::kThreadIo)
      ->PostNow(MakeTask(base::WrapRetained(this), &URLFetcher::StartOnIOThread));
}

void URLFetcher::Cancel() {
  delegate_ = nullptr;
  cancelled_ = true;
}

bool URLFetcher::ApplyTimeouts(HINTERNET handle, DWORD timeout_ms) {
  const struct { DWORD option; DWORD value; } options[] = {
      {INTERNET_OPTION_SEND_TIMEOUT, 2 * timeout_ms},
      {INTERNET_OPTION_RECEIVE_TIMEOUT, 2 * timeout_ms},
      {INTERNET_OPTION_CONNECT_TIMEOUT, timeout_ms},
      {INTERNET_OPTION_CONNECT_RETRIES, 2},
  };
  for (const auto& o : options) {
    DWORD value = o.value;
    if (!InternetSetOptionA(handle, o.option, &value, sizeof(value))) {
      applog::LogAssist::Instance().Log("src\\net\\url_fetcher", 47, 3, "***failed***");
      return false;
    }
  }
  return true;
}

void URLFetcher::StartOnIOThread() {
  AddRef();  // the worker's
  AddRef();  // the completion packet's
  ResetEvent(done_event_.Get());
  base::MessageLoop* loop = base::MessageLoop::Current();
  loop->AddDestructionObserver(this);
  if (!QueueUserWorkItem(&URLFetcher::DoTransferThunk, this, WT_EXECUTEDEFAULT)) {
    Release();
    loop->RemoveDestructionObserver(this);
    succeeded_ = false;
    base::ThreadLoop(base::kThreadUi)
        ->PostNow(MakeTask(base::WrapRetained(this), &URLFetcher::NotifyComplete));
    Release();
  }
}

DWORD WINAPI URLFetcher::DoTransferThunk(void* fetcher) {
  static_cast<URLFetcher*>(fetcher)->DoTransfer();
  return 0;
}

void URLFetcher::DoTransfer() {
  bool ok = false;
  {
    ScopedInternet internet(
        InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (internet) {
      ApplyTimeouts(internet.get(), kFetchTimeoutMs);
      // Nothing goes into the user's browser cache: a package would need
      // its disk space twice, and an answer is never read back from there.
      DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE;
      if (kind_ == kFetchToMemory) flags |= INTERNET_FLAG_RELOAD;
      ScopedInternet request = OpenFollowingRedirects(internet.get(), url_, flags);
      if (request) {
        ok = kind_ == kFetchToMemory ? TransferToMemory(request.get())
                                     : TransferToFile(request.get());
      }
    }
  }
  succeeded_ = ok;
  PostQueuedCompletionStatus(io_port_, 0,
                             reinterpret_cast<ULONG_PTR>(
                                 static_cast<base::MessagePumpForIO::IOHandler*>(this)),
                             &io_context_);
  SetEvent(done_event_.Get());
  Release();  // the worker's
}

bool URLFetcher::TransferToMemory(HINTERNET request) {
  char chunk[kMemoryReadBytes + 1];
  while (!cancelled_) {
    DWORD read = 0;
    if (!InternetReadFile(request, chunk, kMemoryReadBytes, &read)) return false;
    if (read == 0) return true;
    chunk[read] = '\0';
    body_.append(chunk);  // up to a zero byte, as text
    if (body_.size() > kMaxMemoryBody) return false;
  }
  return false;
}

bool URLFetcher::TransferToFile(HINTERNET request) {
  int64_t length = ContentLength(request);
  if (length <= 0) {
    error_code_ = kFetchErrorNoLength;
    return false;
  }
  if (!VolumeCanHold(path_, length)) {
    error_code_ = kFetchErrorReserve;
    return false;
  }
  base::ScopedHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  if (!ReserveFile(file.Get(), length)) {
    error_code_ = kFetchErrorReserve;
    return false;
  }
  if (cancelled_) return false;

  std::unique_ptr<StreamingDigest> digest;
  std::vector<char> own_buffer;
  if (!sha256_.empty()) {
    digest.reset(new StreamingDigest(kFileReadBytes));
    if (!digest->IsValid()) return false;
  } else {
    own_buffer.resize(kFileReadBytes);
  }

  int64_t received = 0;
  int64_t since_report = 0;
  do {
    char* buffer = digest ? digest->Buffer() : own_buffer.data();
    DWORD read = 0;
    if (!InternetReadFile(request, buffer, kFileReadBytes, &read)) return false;
    if (read == 0) {
      // The end of data also comes when the server closes early.
      if (received != length) return false;
      if (digest && digest->Finish() != sha256_) {
        error_code_ = kFetchErrorDigest;
        return false;
      }
      PostProgress(1.0);
      return true;
    }
    if (received + read > length) return false;  // more than announced
    DWORD written = 0;
    if (!WriteFile(file.Get(), buffer, read, &written, nullptr) || written != read) {
      if (IsDiskFull(GetLastError())) error_code_ = kFetchErrorReserve;
      return false;
    }
    if (digest) digest->Submit(read);
    received += read;
    since_report += read;
    if (since_report > kProgressStep) {
      PostProgress(static_cast<double>(received) / static_cast<double>(length));
      since_report = 0;
    }
  } while (!cancelled_);
  return false;
}

void URLFetcher::PostProgress(double fraction) {
  base::ThreadLoop(base::kThreadUi)
      ->PostNow(MakeTask(base::WrapRetained(this), &URLFetcher::NotifyProgress, fraction));
}

void URLFetcher::OnIOComplete(void* context, DWORD bytes, DWORD error) {
  (void)context;
  (void)bytes;
  (void)error;
  base::MessageLoop::Current()->RemoveDestructionObserver(this);
  if (delegate_) {
    base::ThreadLoop(base::kThreadUi)
        ->PostNow(MakeTask(base::WrapRetained(this), &URLFetcher::NotifyComplete));
  }
  Release();  // the completion packet's
}

void URLFetcher::OnLoopDestroying() {
  cancelled_ = true;
  WaitForSingleObject(done_event_.Get(), INFINITE);
  Release();  // the packet will never be delivered
}

void URLFetcher::NotifyComplete() {
  if (URLFetcherDelegate* delegate = delegate_) delegate->OnFetchComplete(this);
}

void URLFetcher::NotifyProgress(double fraction) {
  progress_ = fraction;
  if (URLFetcherDelegate* delegate = delegate_) delegate->OnFetchProgress(this, fraction);
}

}  // namespace net
