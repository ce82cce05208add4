// Finding, ending and starting the launcher fixture (orvlauncher.exe), copied
// into a folder whose name has a blank, as an installed game would be.

#include "sys/process_util.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kLauncher[] = L"orvlauncher.exe";

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = getenv("ORV_LAUNCHER_EXE");
    ASSERT_TRUE(exe) << "ORV_LAUNCHER_EXE is not set";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / (L"Velmora Game " + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(folder_);
    fs::copy_file(exe, folder_ / kLauncher, fs::copy_options::overwrite_existing);
    log_ = folder_ / L"starts.log";
    SetEnvironmentVariableW(L"ORV_LAUNCHER_LOG", log_.c_str());
    EndAll();
  }
  void TearDown() override {
    EndAll();
    SetEnvironmentVariableW(L"ORV_LAUNCHER_LOG", nullptr);
    SetEnvironmentVariableW(L"ORV_LAUNCHER_STAY", nullptr);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Starts a launcher that stays running; the handle is the test's to close.
  HANDLE StartStaying() {
    SetEnvironmentVariableW(L"ORV_LAUNCHER_STAY", L"1");
    std::wstring command = L"\"" + (folder_ / kLauncher).wstring() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    EXPECT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    CloseHandle(process.hThread);
    SetEnvironmentVariableW(L"ORV_LAUNCHER_STAY", nullptr);
    return process.hProcess;
  }

  static void EndAll() {
    for (DWORD pid; (pid = FindProcessByExeName(kLauncher)) != 0;) {
      HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
      ASSERT_TRUE(process);
      TerminateProcess(process, 0);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }

  // The lines the launcher wrote, waiting up to 10 s for |count| of them.
  std::vector<std::string> WaitForStarts(size_t count) {
    std::vector<std::string> lines;
    for (int i = 0; i < 200 && lines.size() < count; ++i) {
      Sleep(50);
      lines.clear();
      std::ifstream in(log_);
      for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    return lines;
  }

  fs::path folder_;
  fs::path log_;
};

TEST_F(LauncherTest, FindMatchesTheFileNameInAnyCase) {
  EXPECT_EQ(FindProcessByExeName(L"ORVLAUNCHER.EXE"), 0u);
  HANDLE launcher = StartStaying();
  DWORD pid = GetProcessId(launcher);
  const wchar_t* names[] = {kLauncher, L"ORVLAUNCHER.EXE", L"OrvLauncher.Exe"};
  for (const wchar_t* name : names) EXPECT_EQ(FindProcessByExeName(name), pid);
  EXPECT_EQ(FindProcessByExeName(L"orvlauncher"), 0u);
  EXPECT_EQ(FindProcessByExeName(L"no_such_program.exe"), 0u);
  CloseHandle(launcher);
}

TEST_F(LauncherTest, KillEndsOnlyTheFirstOfTwo) {
  HANDLE first = StartStaying();
  HANDLE second = StartStaying();
  ASSERT_EQ(WaitForStarts(2).size(), 2u);
  DWORD found = FindProcessByExeName(kLauncher);
  ASSERT_TRUE(found == GetProcessId(first) || found == GetProcessId(second));
  HANDLE ended = found == GetProcessId(first) ? first : second;
  HANDLE survivor = ended == first ? second : first;

  KillLauncher(L"C:\\any\\folder\\" + std::wstring(kLauncher));
  EXPECT_EQ(WaitForSingleObject(ended, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(survivor, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(FindProcessByExeName(kLauncher), GetProcessId(survivor));
  CloseHandle(first);
  CloseHandle(second);
}

TEST_F(LauncherTest, KillWithNothingRunningReturns) {
  KillLauncher(kLauncher);
  EXPECT_EQ(FindProcessByExeName(kLauncher), 0u);
}

TEST_F(LauncherTest, LaunchGameStartsInTheInstallFolderAndClosesTheWindow) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
  ASSERT_TRUE(window);
  LaunchGame(folder_.wstring(), kLauncher, window);

  std::vector<std::string> lines = WaitForStarts(1);
  ASSERT_EQ(lines.size(), 1u);
  std::string folder = folder_.string();
  std::string expected_cmd = "\tcmd=\"" + folder + "\\orvlauncher.exe\"\t";
  EXPECT_NE(lines[0].find(expected_cmd), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\tcwd=" + folder), std::string::npos) << lines[0];

  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  DestroyWindow(window);
}

// An elevated installer must not hand the game its rights: the game starts
// as a child of the desktop shell, as if the user had started it there.
TEST_F(LauncherTest, LaunchUnelevatedStartsTheGameAsAChildOfTheShell) {
  // Wine starts its shell process with the first window on the desktop.
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_TRUE(window);
  DWORD shell = 0;
  for (int i = 0; i < 200 && (shell = FindShellProcess()) == 0; ++i) Sleep(50);
  DestroyWindow(window);
  ASSERT_NE(shell, 0u) << "no shell window and no explorer.exe in this session";

  std::wstring command = L"\"" + (folder_ / kLauncher).wstring() + L"\"";
  ASSERT_TRUE(LaunchUnelevated(command, folder_.wstring())) << GetLastError();
  std::vector<std::string> lines = WaitForStarts(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\tppid=" + std::to_string(shell) + "\t"), std::string::npos)
      << lines[0] << " (shell pid " << shell << ")";
  EXPECT_NE(lines[0].find("\tcwd=" + folder_.string()), std::string::npos) << lines[0];

  SetLastError(0);
  EXPECT_FALSE(LaunchUnelevated(L"\"" + (folder_ / L"missing.exe").wstring() + L"\"",
                                std::wstring()));
  EXPECT_NE(GetLastError(), 0u);
}

}  // namespace
