#include "ui/utility_window.h"

#include "app_global.h"
#include "ui/gdi_resource.h"
#include "ui/ui_messages.h"

const wchar_t* MainSkinName(bool chinese) {
  return chinese ? L"UIMAINWINDOW" : L"ENGUIMAINWINDOW";
}

CUtilityWindow& CUtilityWindow::Instance() {
  static CUtilityWindow window;
  return window;
}

bool CUtilityWindow::Create(bool chinese) {
  chinese_ = chinese;
  CGDIResource::Instance().Initialize(std::wstring());
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &CUtilityWindow::WindowProc;
  window_class.hInstance = AppInstance();
  window_class.lpszClassName = kUtilityWindowClass;
  RegisterClassExW(&window_class);  // already registered is fine
  HWND hwnd = CreateWindowExW(0, kUtilityWindowClass, kUtilityWindowTitle, WS_POPUP, 0, 0, 1,
                              1, HWND_MESSAGE, nullptr, AppInstance(), this);
  if (!hwnd) {
    main_window_.reset();
    CGDIResource::Instance().Shutdown();
    return false;
  }
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, kInstanceMarker);
  return true;
}

void CUtilityWindow::Destroy() {
  if (main_window_ && IsWindow(main_window_->hwnd())) DestroyWindow(main_window_->hwnd());
  main_window_.reset();
  if (hwnd_) {
    DestroyWindow(hwnd_);
    CGDIResource::Instance().Shutdown();
  }
  hwnd_ = nullptr;
}

LRESULT CALLBACK CUtilityWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  CUtilityWindow& self = Instance();
  switch (message) {
    case WM_CREATE:
      return self.OnCreate(hwnd);
    case kMsgDestroyWindow: {
      HWND target = reinterpret_cast<HWND>(lparam);
      if (IsWindow(target)) DestroyWindow(target);
      return 0;
    }
    case kMsgShowExisting:
      self.ShowExisting();
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT CUtilityWindow::OnCreate(HWND hwnd) {
  hwnd_ = hwnd;
  Global().utility_hwnd = hwnd;
  if (!factory_) return -1;
  main_window_ = factory_();
  if (!main_window_ || !main_window_->CreateFromSkin(MainSkinName(chinese_))) {
    main_window_.reset();
    hwnd_ = nullptr;
    return -1;
  }
  return 0;
}

void CUtilityWindow::ShowExisting() {
  if (!main_window_) return;
  HWND main = main_window_->hwnd();
  ShowExistingWindow(main);
}

void ShowExistingWindow(HWND main) {
  if (!IsWindow(main)) return;
  if (IsIconic(main)) ShowWindow(main, SW_RESTORE);
  // A layered window shows only what it composes: RedrawWindow sends it
  // no picture.
  PostMessageW(main, UM_LAYERED_REDRAW, 0, 100);
}
