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

struct AttributeListDeleter {
  void operator()(LPPROC_THREAD_ATTRIBUTE_LIST list) const {
    DeleteProcThreadAttributeList(list);
    delete[] reinterpret_cast<char*>(list);
  }
};
using ScopedAttributeList = std::unique_ptr<_PROC_THREAD_ATTRIBUTE_LIST, AttributeListDeleter>;

// Closes both handles of a started process; nothing waits for it.
void CloseProcessHandles(PROCESS_INFORMATION* process) {
  base::ScopedHandle thread(process->hThread);
  base::ScopedHandle handle(process->hProcess);
}

const wchar_t* DirectoryOrNull(const std::wstring& directory) {
  return directory.empty() ? nullptr : directory.c_str();
}

}  // namespace

namespace {

constexpr DWORD kAnySession = 0xFFFFFFFF;

// The first process in snapshot order named |exe_name| (any case) and, unless
// |session| is kAnySession, running in that session; 0 when none.
DWORD FindProcessInSession(const std::wstring& exe_name, DWORD session) {
  base::ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsValid()) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    if (lstrcmpiW(FileNameOf(entry.szExeFile).c_str(), exe_name.c_str()) != 0) continue;
    DWORD entry_session = 0;
    if (session == kAnySession ||
        (ProcessIdToSessionId(entry.th32ProcessID, &entry_session) && entry_session == session))
      return entry.th32ProcessID;
  }
  return 0;
}

}  // namespace

DWORD FindProcessByExeName(const std::wstring& exe_name) {
  return FindProcessInSession(exe_name, kAnySession);
}

DWORD FindShellProcess() {
  DWORD pid = 0;
  if (HWND shell = GetShellWindow()) GetWindowThreadProcessId(shell, &pid);
  if (pid != 0) return pid;
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return 0;
  return FindProcessInSession(L"explorer.exe", session);
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

// Starts |command_line| as a child of the desktop shell, so it runs with the
// shell's token: an elevated installer hands the game no administrator
// rights. The error code of the first failing step, or 0.
DWORD StartAsShellChild(const std::wstring& command_line, const std::wstring& directory) {
  DWORD shell_pid = FindShellProcess();
  if (shell_pid == 0) return ERROR_NOT_FOUND;
  base::ScopedHandle shell(OpenProcess(PROCESS_CREATE_PROCESS, FALSE, shell_pid));
  if (!shell.IsValid()) return GetLastError();

  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  if (size == 0) return GetLastError();
  auto* raw_list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(new char[size]);
  if (!InitializeProcThreadAttributeList(raw_list, 1, 0, &size)) {
    DWORD error = GetLastError();
    delete[] reinterpret_cast<char*>(raw_list);
    return error;
  }
  ScopedAttributeList list(raw_list);
  HANDLE parent = shell.Get();
  if (!UpdateProcThreadAttribute(list.get(), 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &parent,
                                 sizeof(parent), nullptr, nullptr))
    return GetLastError();

  std::wstring mutable_command = command_line;
  STARTUPINFOEXW startup = {};
  startup.StartupInfo.cb = sizeof(startup);
  startup.lpAttributeList = list.get();
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &mutable_command[0], nullptr, nullptr, FALSE,
                      EXTENDED_STARTUPINFO_PRESENT, nullptr, DirectoryOrNull(directory),
                      &startup.StartupInfo, &process))
    return GetLastError();
  CloseProcessHandles(&process);
  return ERROR_SUCCESS;
}

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
  CloseProcessHandles(&process);
  return ERROR_SUCCESS;
}

}  // namespace

bool LaunchUnelevated(const std::wstring& command_line, const std::wstring& directory) {
  DWORD error = StartAsShellChild(command_line, directory);
  if (error == ERROR_SUCCESS) return true;
  if (StartWithMediumToken(command_line, directory) == ERROR_SUCCESS) return true;
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
                       install_folder.c_str(), &startup, &process))
      CloseProcessHandles(&process);
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
}
