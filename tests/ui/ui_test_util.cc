#include "tests/ui/ui_test_util.h"

#include "ui/ui_messages.h"

namespace ui_test {

namespace {

constexpr wchar_t kRecorderClass[] = L"UiTestRecordingHost";

std::wstring CursorName(HCURSOR cursor) {
  if (cursor == LoadCursorW(nullptr, IDC_ARROW)) return L"arrow";
  if (cursor == LoadCursorW(nullptr, IDC_HAND)) return L"hand";
  if (cursor == LoadCursorW(nullptr, IDC_IBEAM)) return L"ibeam";
  return L"other";
}

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case UM_TOOLTIP:
      Log().push_back(wparam == 1 ? L"tooltip 1 " + std::wstring(reinterpret_cast<const wchar_t*>(lparam))
                                  : L"tooltip " + std::to_wstring(wparam));
      return 0;
    case UM_SETCURSOR:
      Log().push_back(L"cursor " + CursorName(reinterpret_cast<HCURSOR>(wparam)));
      return 0;
    case UM_RADIO_SELECTED:
      Log().push_back(L"radio");
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

void RegisterRecorderClass() {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(instance, kRecorderClass, &window_class)) return;
  window_class.lpfnWndProc = &RecorderProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kRecorderClass;
  RegisterClassExW(&window_class);
}

}  // namespace

std::vector<std::wstring>& Log() {
  static std::vector<std::wstring> log;
  return log;
}

RecordingHost::RecordingHost(bool top_level) {
  RegisterRecorderClass();
  hwnd_ = CreateWindowExW(0, kRecorderClass, L"recorder", top_level ? WS_POPUP : 0, 0, 0, 200,
                          200, top_level ? nullptr : HWND_MESSAGE, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
}

RecordingHost::~RecordingHost() {
  if (hwnd_) {
    DropPosted(hwnd_);
    DestroyWindow(hwnd_);
  }
}

std::vector<MSG> TakePosted(HWND hwnd, UINT message) {
  std::vector<MSG> taken;
  MSG msg;
  while (PeekMessageW(&msg, hwnd, message, message, PM_REMOVE)) taken.push_back(msg);
  return taken;
}

void DropPosted(HWND hwnd) {
  // Private messages only: a pending WM_PAINT is never removed by a peek.
  MSG msg;
  while (PeekMessageW(&msg, hwnd, WM_USER, 0xBFFF, PM_REMOVE)) {
  }
}

Pixel PixelAt(const void* bits, int width, int x, int y) {
  const BYTE* p = static_cast<const BYTE*>(bits) + (static_cast<size_t>(y) * width + x) * 4;
  return Pixel{p[0], p[1], p[2], p[3]};
}

}  // namespace ui_test
