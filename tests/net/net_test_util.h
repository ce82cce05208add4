// Shared pieces of the transfer tests: the loops the fetcher needs (the test
// thread as ui_thread, an io_thread), talking to the reference service on
// 127.0.0.1, and running the UI loop for a bounded time.

#ifndef TESTS_NET_NET_TEST_UTIL_H_
#define TESTS_NET_NET_TEST_UTIL_H_

#include <windows.h>

#include <string>

namespace net_test {

// The service's port (ORV_SERVICE_PORT) and the folder of the files it can
// serve, as a Unix path for the service and as a Wine path for the tests.
int ServicePort();
std::string FixtureUnixPath(const std::string& name);
std::wstring FixtureWinePath(const std::string& name);

// "http://127.0.0.1:<port>" + |path|.
std::string ServiceUrl(const std::string& path);
// GET /_control?|query| on the service; false unless it answered 200.
bool Control(const std::string& query);
// Serve |name| from the fixtures with the other options reset, plus |extra|.
bool ServeFixture(const std::string& name, const std::string& extra = std::string());
// The announced address of the package, signed as the installer signs it.
std::string SignedPackageUrl(const std::string& name);

// Runs the UI loop until something quits it or |timeout_ms| passes; false on
// timeout.
bool RunUiLoop(int timeout_ms);
// Runs the UI loop for |ms|, for queued tasks to drain.
void RunUiLoopFor(int ms);
// Runs the UI loop in short slices until |done| says true or |timeout_ms|
// passes; returns the last answer.
template <typename Done>
bool RunUiLoopUntil(Done done, int timeout_ms) {
  for (int waited = 0; !done() && waited < timeout_ms; waited += 20) RunUiLoopFor(20);
  return done();
}

std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// A fresh folder in the prefix's temp folder, ending with a separator.
std::wstring TempFolder(const std::wstring& name);

}  // namespace net_test

#endif  // TESTS_NET_NET_TEST_UTIL_H_
