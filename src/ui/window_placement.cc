#include "ui/window_placement.h"

namespace {

int Clamp(int value, int low, int high) {
  if (value > high) value = high;
  return value < low ? low : value;
}

RECT WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

HMONITOR MonitorOfOwner(HWND hwnd, HWND owner) {
  if (!owner) return MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
  if (IsIconic(owner)) {
    // A minimised window sits off every monitor: its restored place counts.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(owner, &placement))
      return MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONEAREST);
    return MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
  }
  return MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
}

}  // namespace

POINT CentredPosition(SIZE size, bool owner_usable, const RECT& owner, const RECT& work_area) {
  const RECT& area = owner_usable ? owner : work_area;
  int left = area.left + (area.right - area.left - size.cx) / 2;
  int top = area.top + (area.bottom - area.top - size.cy) / 2;
  return POINT{Clamp(left, work_area.left, work_area.right - size.cx),
               Clamp(top, work_area.top, work_area.bottom - size.cy)};
}

void CentreWindow(HWND hwnd) {
  RECT window;
  if (!GetWindowRect(hwnd, &window)) return;
  HWND owner = GetWindow(hwnd, GW_OWNER);
  bool owner_usable = owner && IsWindowVisible(owner) && !IsIconic(owner);
  RECT owner_rect = {};
  if (owner_usable) GetWindowRect(owner, &owner_rect);
  RECT work_area = WorkAreaOf(MonitorOfOwner(hwnd, owner));
  SIZE size = {window.right - window.left, window.bottom - window.top};
  POINT corner = CentredPosition(size, owner_usable, owner_rect, work_area);
  SetWindowPos(hwnd, nullptr, corner.x, corner.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
