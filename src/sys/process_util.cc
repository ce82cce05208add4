#include "sys/process_util.h"

#include <tlhelp32.h>

#include <memory>

#include "base/scoped_handle.h"
#include "sys/path_util.h"

namespace {

// How long KillLauncher waits for the ended process to release its files.
constexpr DWORD kKillWaitMs = 5000;
constexpr DWORD kTokenAccess =
    TOKEN_ASSIGN_PRIMARY | TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ADJUST_DEFAULT;

struct SidFreer {
  void operator()(void* sid) const { FreeSid(sid); }
};

const wchar_t* DirectoryOrNull(const std::wstring& directory) {
  return directory.empty() ? nullptr : directory.c_str();
}

}  // namespace

DWORD FindProcessByExeName(const std::wstring& exe_name) {
  base::ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsValid()) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    if (lstrcmpiW(FileNameOf(entry.szExeFile).c_str(), exe_name.c_str()) == 0)
      return entry.th32ProcessID;
  }
  return 0;
}

void KillLauncher(const std::wstring& launcher_name) {
  DWORD pid = FindProcessByExeName(FileNameOf(launcher_name));
  if (pid == 0) return;
  base::ScopedHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process.IsValid()) return;
  // A forced end, as from the task manager; the launcher keeps no data that
  // this could lose. Unpacking goes on even if the process survives.
  if (TerminateProcess(process.Get(), 1))
    WaitForSingleObject(process.Get(), kKillWaitMs);
}

namespace {

// The error code of the first failing step, or 0; every handle is closed
// before it returns so the caller can set the code last.
DWORD StartWithMediumToken(const std::wstring& command_line, const std::wstring& directory) {
  HANDLE raw_token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), kTokenAccess, &raw_token)) return GetLastError();
  base::ScopedHandle token(raw_token);

  HANDLE raw_new_token = nullptr;
  if (!DuplicateTokenEx(token.Get(), kTokenAccess, nullptr, SecurityImpersonation,
                        TokenPrimary, &raw_new_token))
    return GetLastError();
  base::ScopedHandle new_token(raw_new_token);

  SID_IDENTIFIER_AUTHORITY label_authority = SECURITY_MANDATORY_LABEL_AUTHORITY;
  PSID raw_sid = nullptr;
  if (!AllocateAndInitializeSid(&label_authority, 1, SECURITY_MANDATORY_MEDIUM_RID, 0, 0,
                                0, 0, 0, 0, 0, &raw_sid))
    return GetLastError();
  std::unique_ptr<void, SidFreer> sid(raw_sid);

  TOKEN_MANDATORY_LABEL label = {};
  label.Label.Sid = sid.get();
  label.Label.Attributes = SE_GROUP_INTEGRITY;
  if (!SetTokenInformation(new_token.Get(), TokenIntegrityLevel, &label,
                           sizeof(label) + GetLengthSid(sid.get())))
    return GetLastError();

  std::wstring mutable_command = command_line;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessAsUserW(new_token.Get(), nullptr, &mutable_command[0], nullptr,
                            nullptr, FALSE, 0, nullptr, DirectoryOrNull(directory),
                            &startup, &process))
    return GetLastError();
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return ERROR_SUCCESS;
}

}  // namespace

bool LaunchUnelevated(const std::wstring& command_line, const std::wstring& directory) {
  DWORD error = StartWithMediumToken(command_line, directory);
  if (error == ERROR_SUCCESS) return true;
  SetLastError(error);
  return false;
}

void LaunchGame(const std::wstring& install_folder, const std::wstring& launcher_name,
                HWND window) {
  std::wstring command_line = L"\"" + install_folder + L"\\" + launcher_name + L"\"";
  if (!LaunchUnelevated(command_line, install_folder)) {
    std::wstring mutable_command = command_line;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, &mutable_command[0], nullptr, nullptr, FALSE, 0, nullptr,
                       install_folder.c_str(), &startup, &process)) {
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
}
