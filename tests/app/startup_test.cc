// The installer as a process under Wine: single instance, exit codes, the
// language rule. Plus the small start-up rules as tables.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

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

// Runs |find| on a thread of its own and returns what it found. Wine keeps a
// thread's message-only parent once looked up; when the desktop process of
// an earlier test was just ending, a polling thread would keep asking that
// gone parent and never see the installer's utility window.
template <typename Find>
HWND OnFreshThread(Find find) {
  HWND found = nullptr;
  std::thread([&] { found = find(); }).join();
  return found;
}

HWND FindMarkedUtilityWindow() {
  return OnFreshThread([] {
    // Every matching window: one left by an earlier run may come first.
    HWND utility = nullptr;
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, kUtilityWindowClass, kUtilityWindowTitle);
         w; w = FindWindowExW(HWND_MESSAGE, w, kUtilityWindowClass, kUtilityWindowTitle)) {
      if (GetWindowLongPtrW(w, GWLP_USERDATA) == kInstanceMarker) utility = w;
    }
    return utility;
  });
}

// Every utility window there is, for a failure message.
std::string DescribeUtilityWindows() {
  std::string text;
  OnFreshThread([&text] {
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, kUtilityWindowClass, nullptr); w;
         w = FindWindowExW(HWND_MESSAGE, w, kUtilityWindowClass, nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      char line[96];
      snprintf(line, sizeof(line), " [pid %lu, user data 0x%llx]", static_cast<unsigned long>(pid),
               static_cast<unsigned long long>(GetWindowLongPtrW(w, GWLP_USERDATA)));
      text += line;
    }
    return static_cast<HWND>(nullptr);
  });
  return text.empty() ? " none" : text;
}

TEST(StartupTest, SecondInstanceShowsTheFirstAndExitsWithZero) {
  // Under Wine, an installer that starts while the desktop process of an
  // earlier test is closing loses its message-only utility window with that
  // desktop; such a start is not what this test is about, so it starts the
  // first instance again (the main window then always comes with one).
  std::unique_ptr<Installer> started;
  HWND main = nullptr;
  HWND utility = nullptr;
  std::string seen;
  for (int start = 0; start < 3 && !utility; ++start) {
    started.reset(new Installer());
    main = started->MainWindow();
    ASSERT_TRUE(main);
    // The marker is set once the utility window's creation (which makes the
    // main window) has returned.
    for (DWORD waited = 0; waited < kWaitMs / 3; waited += 50, Sleep(50)) {
      if ((utility = FindMarkedUtilityWindow()) != nullptr) break;
    }
    if (!utility) {
      seen += " [start " + std::to_string(start + 1) + ": pid " + std::to_string(started->pid()) +
              (started->Running() ? " running" : " ended") +
              "; utility windows:" + DescribeUtilityWindows() + "]";
    }
  }
  Installer& first = *started;
  ASSERT_TRUE(utility) << "no marked utility window:" << seen;
  ASSERT_EQ(GetWindowLongPtrW(utility, GWLP_USERDATA), kInstanceMarker);

  ShowWindow(main, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(main));
  Installer second;
  EXPECT_EQ(second.ExitCode(), 0);
  for (DWORD waited = 0; IsIconic(main) && waited < kWaitMs; waited += 50) Sleep(50);
  EXPECT_FALSE(IsIconic(main));

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.ExitCode(), 1);
  EXPECT_FALSE(OnFreshThread(
      [] { return FindWindowExW(HWND_MESSAGE, nullptr, kUtilityWindowClass, kUtilityWindowTitle); }));
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
