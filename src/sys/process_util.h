// Finding, ending and starting processes: the game's launcher in particular.
//
// Thread affinity: any thread. KillLauncher blocks while the process ends
// (file_thread, before unpacking); the rest return at once.

#ifndef SYS_PROCESS_UTIL_H_
#define SYS_PROCESS_UTIL_H_

#include <windows.h>

#include <string>

// Id of the first process in snapshot order whose executable file name is
// |exe_name| (any case), or 0.
DWORD FindProcessByExeName(const std::wstring& exe_name);

// Ends the first running process named like the launcher (FileNameOf
// |launcher_name|) and waits a short, bounded time for it to go, so that its
// files can be replaced. Nothing happens when none runs.
void KillLauncher(const std::wstring& launcher_name);

// The desktop shell's process: the owner of the shell window, else an
// explorer.exe in this session (Wine under Xvfb runs one without a shell
// window); 0 when there is none.
DWORD FindShellProcess();

// Starts |command_line| unelevated, so an elevated installer does not start
// the game elevated: as a child of the desktop shell (with the shell's
// token), else with a medium-integrity copy of this process's token.
// |directory| is the new process's current folder (empty: this process's).
// False with the thread's last error set to the first failure.
bool LaunchUnelevated(const std::wstring& command_line, const std::wstring& directory);

// Starts "<install_folder>\<launcher_name>" (quoted, no arguments) with the
// install folder as its current folder: unelevated, else plainly. Then asks
// |window| to close, whether or not the launcher started.
void LaunchGame(const std::wstring& install_folder, const std::wstring& launcher_name,
                HWND window);

#endif  // SYS_PROCESS_UTIL_H_
