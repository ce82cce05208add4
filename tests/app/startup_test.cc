// The installer as a process under Wine: single instance, exit codes, the
// language rule. Plus the small start-up rules as tables.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app_global.h"
#include "app_startup.h"
#include "sys/path_util.h"
#include "ui/utility_window.h"

namespace {

// Generous: a loaded machine under Wine may be slow, and only a failure waits it out.
constexpr DWORD kWaitMs = 60000;

class Installer {
 public:
  Installer() {
    const char* exe = getenv("ORV_INSTALLER_EXE");
    EXPECT_TRUE(exe) << "ORV_INSTALLER_EXE is not set";
    if (!exe) return;
    std::wstring command = L"\"" + std::wstring(exe, exe + strlen(exe)) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    EXPECT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process_));
    CloseHandle(process_.hThread);
  }
  ~Installer() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
  }

  // Waits for the process to end; its exit code, or -1 on timeout.
  long ExitCode(DWORD timeout_ms = kWaitMs) {
    if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

  bool Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }
  DWORD pid() const { return process_.dwProcessId; }

  // The process's visible top-level window, waiting for it to appear.
  HWND MainWindow() {
    for (DWORD waited = 0; waited < kWaitMs; waited += 50) {
      struct Search { DWORD pid; HWND found; } search = {process_.dwProcessId, nullptr};
      EnumWindows(
          [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
            s->found = hwnd;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (search.found) return search.found;
      Sleep(50);
    }
    return nullptr;
  }

 private:
  PROCESS_INFORMATION process_ = {};
};

// Every utility window there is, for a failure message.
std::string DescribeUtilityWindows() {
  std::string text;
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, kUtilityWindowClass, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, kUtilityWindowClass, nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char line[96];
    snprintf(line, sizeof(line), " [pid %lu, user data 0x%llx]", static_cast<unsigned long>(pid),
             static_cast<unsigned long long>(GetWindowLongPtrW(w, GWLP_USERDATA)));
    text += line;
  }
  return text.empty() ? " none" : text;
}

TEST(StartupTest, SecondInstanceShowsTheFirstAndExitsWithZero) {
  Installer first;
  HWND main = first.MainWindow();
  ASSERT_TRUE(main);
  // The marker is set once the utility window's creation (which makes the
  // main window) has returned.
  HWND utility = nullptr;
  for (DWORD waited = 0; waited < kWaitMs; waited += 50, Sleep(50)) {
    // Every matching window: one left by an earlier run may come first.
    utility = nullptr;
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, kUtilityWindowClass, kUtilityWindowTitle);
         w; w = FindWindowExW(HWND_MESSAGE, w, kUtilityWindowClass, kUtilityWindowTitle)) {
      if (GetWindowLongPtrW(w, GWLP_USERDATA) == kInstanceMarker) utility = w;
    }
    if (utility) break;
  }
  ASSERT_TRUE(utility) << "first instance pid " << first.pid()
                      << (first.Running() ? " running" : " ended")
                      << "; utility windows:" << DescribeUtilityWindows();
  ASSERT_EQ(GetWindowLongPtrW(utility, GWLP_USERDATA), kInstanceMarker);

  ShowWindow(main, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(main));
  Installer second;
  EXPECT_EQ(second.ExitCode(), 0);
  for (DWORD waited = 0; IsIconic(main) && waited < kWaitMs; waited += 50) Sleep(50);
  EXPECT_FALSE(IsIconic(main));

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.ExitCode(), 1);
  EXPECT_FALSE(FindWindowExW(HWND_MESSAGE, nullptr, kUtilityWindowClass, kUtilityWindowTitle));
}

TEST(StartupRulesTest, DefaultInstallRootByVersionCode) {
  const std::wstring app_data = GetSpecialFolder(26, false);
  const struct { int code; std::wstring root; } cases[] = {
      {1, L"C:\\Program Files"}, {6, L"C:\\Program Files"}, {-1000, L"C:\\Program Files"},
      {7, app_data}, {12, app_data}, {1000, app_data},
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultInstallRoot(c.code), c.root) << c.code;
  EXPECT_STREQ(MainSkinName(true), L"UIMAINWINDOW");
  EXPECT_STREQ(MainSkinName(false), L"ENGUIMAINWINDOW");
}

}  // namespace
