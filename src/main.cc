// Program entry: single-instance check, start-up, the UI loop, shutdown.
// Exit code 0 when another instance runs, 1 after a normal run.

#include <windows.h>

#include "app_startup.h"

namespace {

// Before any library is loaded: libraries come from System32 only, never
// from the folder the installer was started from (a Downloads folder may
// hold a planted DLL). Every DLL outside the system's KnownDLLs is
// delay-loaded, so it is loaded after this.
void RestrictDllSearchToSystem32() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto set_directories = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set_directories) set_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");  // also drops the current folder on older systems
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  RestrictDllSearchToSystem32();
  return RunEntry(instance, show_command);
}
