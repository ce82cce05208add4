#include "ui/edit_pop_window.h"

#include <string>

#include "ui/gdi_resource.h"
#include "ui/layered_edit_ctl.h"

namespace {

constexpr COLORREF kEditBack = RGB(69, 68, 73);
constexpr wchar_t kPopupClass[] = L"VelmoraEditPopup";

}  // namespace

HWND CMyEditEx::Create(HWND parent) {
  RECT client;
  GetClientRect(parent, &client);
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                          client.right, client.bottom, parent, nullptr, nullptr, nullptr);
  if (!hwnd_) return nullptr;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CMyEditEx::SubclassProc)));
  return hwnd_;
}

LRESULT CALLBACK CMyEditEx::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<CMyEditEx*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  WNDPROC original = self->original_;
  if (message == WM_CHAR && self->field_) {
    // Reported before the edit control inserts it; what the field posts is
    // handled after the insertion.
    self->field_->OnEditChar(static_cast<wchar_t>(wparam));
  } else if (message == WM_KILLFOCUS && self->field_) {
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    CLayeredEditCtl* field = self->field_;
    self->field_ = nullptr;
    field->OnEditFocusLost(text);
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    self->hwnd_ = nullptr;
  }
  return CallWindowProcW(original, hwnd, message, wparam, lparam);
}

EditPopWindow::EditPopWindow(CLayeredEditCtl* field)
    : edit_(field), brush_(CreateSolidBrush(kEditBack)) {}

EditPopWindow::~EditPopWindow() {
  edit_.set_field(nullptr);
  DestroyWindowNow();
  DeleteObject(brush_);
}

bool EditPopWindow::Create(HWND owner, const RECT& screen_rect) {
  return CreateWindowOfClass(kPopupClass, owner, screen_rect, L"", WS_POPUP | WS_VISIBLE, 0) !=
         nullptr;
}

void EditPopWindow::Detach() {
  edit_.set_field(nullptr);
  self_owned_ = true;
}

LRESULT EditPopWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                     bool* handled) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == EN_CHANGE && reinterpret_cast<HWND>(lparam) == edit_.hwnd() &&
          edit_.field()) {
        edit_.field()->OnEditChanged();
        *handled = true;
      }
      return 0;
    case WM_CREATE:
      if (edit_.Create(hwnd())) {
        SendMessageW(edit_.hwnd(), WM_SETFONT,
                     reinterpret_cast<WPARAM>(CGDIResource::Instance().Font(kFontNormal)), TRUE);
        SetFocus(edit_.hwnd());
      }
      *handled = true;
      return 0;
    case WM_CTLCOLOREDIT:
      SetBkColor(reinterpret_cast<HDC>(wparam), kEditBack);
      SetTextColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
      *handled = true;
      return reinterpret_cast<LRESULT>(brush_);
    case WM_CLOSE:
      *handled = true;
      ::DestroyWindow(hwnd());  // may delete this object: touch nothing after
      return 0;
    default:
      return 0;
  }
}

void EditPopWindow::OnFinalMessage() {
  if (self_owned_) delete this;
}
