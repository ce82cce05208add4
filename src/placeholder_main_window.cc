#include "placeholder_main_window.h"

#include "app_global.h"

namespace {

constexpr wchar_t kClassName[] = L"VelmoraPlaceholderWindow";

}  // namespace

std::unique_ptr<MainWindow> PlaceholderMainWindow::Make() {
  return std::make_unique<PlaceholderMainWindow>();
}

PlaceholderMainWindow::~PlaceholderMainWindow() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool PlaceholderMainWindow::CreateFromSkin(const wchar_t* skin_name) {
  skin_name_ = skin_name;
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &PlaceholderMainWindow::WindowProc;
  window_class.hInstance = AppInstance();
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);
  std::wstring title = L"Velmora - " + skin_name_;
  hwnd_ = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          CW_USEDEFAULT, CW_USEDEFAULT, 480, 320, nullptr, nullptr,
                          AppInstance(), this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK PlaceholderMainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                                   LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<PlaceholderMainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      RECT client;
      GetClientRect(hwnd, &client);
      std::wstring text = L"Velmora installer (" + (self ? self->skin_name_ : L"") + L")";
      DrawTextW(dc, text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_DESTROY:
      if (self) self->hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}
