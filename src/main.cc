// Program entry: single-instance check, start-up, the UI loop, shutdown.
// Exit code 0 when another instance runs, 1 after a normal run.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app_global.h"
#include "app_startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return RunEntry(instance, show_command);
}
