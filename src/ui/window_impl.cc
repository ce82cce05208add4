#include "ui/window_impl.h"

#include "app_global.h"

WindowImpl::~WindowImpl() { DestroyWindowNow(); }

void WindowImpl::DestroyWindowNow() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

HWND WindowImpl::CreateWindowOfClass(const wchar_t* class_name, HWND parent, const RECT& rect,
                                     const wchar_t* title, DWORD style, DWORD ex_style,
                                     HBRUSH background) {
  HINSTANCE instance = AppInstance() ? AppInstance() : GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  if (!GetClassInfoExW(instance, class_name, &window_class)) {
    window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = &WindowImpl::WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = background;
    window_class.lpszClassName = class_name;
    if (!RegisterClassExW(&window_class)) return nullptr;
  }
  return CreateWindowExW(ex_style, class_name, title, style, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                         instance, this);
}

LRESULT CALLBACK WindowImpl::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowImpl* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<WindowImpl*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<WindowImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  bool handled = false;
  LRESULT result = self->HandleMessage(message, wparam, lparam, &handled);
  if (!handled) result = DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnFinalMessage();
  }
  return result;
}
