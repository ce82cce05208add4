#include "sys/shell_util.h"

#include <shellapi.h>

void OpenUrl(const std::wstring& address) {
  ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void BringWindowToFront(HWND window) {
  HWND foreground = GetForegroundWindow();
  if (window == foreground) return;
  DWORD window_thread = GetWindowThreadProcessId(window, nullptr);
  DWORD foreground_thread = GetWindowThreadProcessId(foreground, nullptr);
  if (window_thread == foreground_thread || foreground_thread == 0) {
    SetForegroundWindow(window);
    return;
  }
  AttachThreadInput(window_thread, foreground_thread, TRUE);
  SetForegroundWindow(window);
  AttachThreadInput(window_thread, foreground_thread, FALSE);
}
