// Small requests to the shell and the window manager.
//
// Thread affinity: the UI thread.

#ifndef SYS_SHELL_UTIL_H_
#define SYS_SHELL_UTIL_H_

#include <windows.h>

#include <string>

// Opens |address| with the user's default handler (a web page in the
// browser). The outcome is not examined.
void OpenUrl(const std::wstring& address);

// Makes |window| the foreground window, borrowing the foreground thread's
// input state when another thread owns it.
void BringWindowToFront(HWND window);

#endif  // SYS_SHELL_UTIL_H_
