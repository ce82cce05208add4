// Start-up and shutdown of the installer process, in their fixed order.
//
// Thread affinity: the process's first thread, which becomes ui_thread.

#ifndef APP_STARTUP_H_
#define APP_STARTUP_H_

#include <windows.h>

#include <string>

// The whole entry: 0 when another instance runs (it is asked to show
// itself), else 1 once the main window has closed or failed to open.
int RunEntry(HINSTANCE instance, int show_command);

// Threads up, UI loop, utility and main windows, the loop, then everything
// down again. Returns 1.
int Run(int show_command);

// The folder under which the game is installed by default: the roaming
// application-data folder from Vista on (version code above 6), else
// "C:\Program Files".
std::wstring DefaultInstallRoot(int os_version_code);

#endif  // APP_STARTUP_H_
