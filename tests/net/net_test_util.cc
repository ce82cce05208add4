#include "tests/net/net_test_util.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "base/message_loop.h"
#include "base/task.h"
#include "base/thread.h"
#include "base/thread_table.h"
#include "sys/md5.h"
#include "sys/path_util.h"
#include "sys/string_util.h"

namespace net_test {

namespace {

constexpr char kSigningKey[] = "VelmoraDemoKey2026abcd";

// The test thread is ui_thread; io_thread runs the completion-port loop.
class LoopsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ui_loop_ = std::make_unique<base::MessageLoop>(base::MessageLoop::kLoopUi);
    base::RegisterThreadLoop(base::kThreadUi, ui_loop_.get());
    io_thread_.SetName("io_thread");
    base::ThreadOptions options;
    options.loop_kind = base::MessageLoop::kLoopIo;
    ASSERT_TRUE(io_thread_.Start(options));
    base::RegisterThreadLoop(base::kThreadIo, io_thread_.loop());
  }
  void TearDown() override {
    io_thread_.Stop();
    ui_loop_.reset();
  }

 private:
  std::unique_ptr<base::MessageLoop> ui_loop_;
  base::Thread io_thread_;
};

const ::testing::Environment* const g_loops =
    ::testing::AddGlobalTestEnvironment(new LoopsEnvironment);

// Bumped by every bounded run, so a stale timeout task quits nothing.
int g_run_generation = 0;
bool g_timed_out = false;

void QuitIfCurrent(int generation) {
  if (generation != g_run_generation) return;
  g_timed_out = true;
  base::MessageLoop::Current()->Quit();
}

std::string Env(const char* name) {
  const char* value = getenv(name);
  return value ? value : "";
}

}  // namespace

int ServicePort() { return atoi(Env("ORV_SERVICE_PORT").c_str()); }

std::string FixtureUnixPath(const std::string& name) {
  return Env("ORV_NET_FIXTURES") + "/" + name;
}

std::wstring FixtureWinePath(const std::string& name) {
  return L"Z:" + Utf8ToWide(FixtureUnixPath(name));
}

std::string ServiceUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(ServicePort()) + path;
}

bool Control(const std::string& query) {
  HINTERNET internet = InternetOpenA("net_tests", INTERNET_OPEN_TYPE_DIRECT, nullptr,
                                     nullptr, 0);
  if (!internet) return false;
  bool ok = false;
  std::string url = ServiceUrl("/_control?" + query);
  HINTERNET request = InternetOpenUrlA(internet, url.c_str(), nullptr, 0,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  if (request) {
    DWORD status = 0, size = sizeof(status);
    ok = HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr) &&
         status == 200;
    char drain[4096];
    DWORD read = 0;
    while (InternetReadFile(request, drain, sizeof(drain), &read) && read > 0) {
    }
    InternetCloseHandle(request);
  }
  InternetCloseHandle(internet);
  return ok;
}

bool ServeFixture(const std::string& name, const std::string& extra) {
  std::string query = "reset=1&package=" + FixtureUnixPath(name);
  if (!extra.empty()) query += "&" + extra;
  return Control(query);
}

std::string SignedPackageUrl(const std::string& name) {
  // The announced address has a port, so its signed path is empty.
  std::string t = std::to_string(static_cast<int32_t>(UnixTimeSeconds()));
  std::string sign = MD5(std::string(kSigningKey) + t).HexDigest();
  return ServiceUrl("/pkg/" + name) + "?sign=" + sign + "&t=" + t;
}

bool RunUiLoop(int timeout_ms) {
  int generation = ++g_run_generation;
  g_timed_out = false;
  base::MessageLoop* loop = base::MessageLoop::Current();
  loop->PostDelayed(MakeFunctionTask(&QuitIfCurrent, generation),
                    static_cast<base::Ticks>(timeout_ms) * 1000);
  loop->Run();
  ++g_run_generation;
  return !g_timed_out;
}

void RunUiLoopFor(int ms) { RunUiLoop(ms); }

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary | std::ios::ate);
  if (!in) return std::string();
  std::string bytes(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(&bytes[0], bytes.size());
  return bytes;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring TempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"_" +
                        std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryChain(folder);
  return folder;
}

}  // namespace net_test
