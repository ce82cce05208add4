#include "ui/layered_edit_ctl.h"

#include "app_global.h"
#include "ui/edit_pop_window.h"
#include "ui/gdi_resource.h"
#include "ui/skin_values.h"
#include "ui/ui_messages.h"
#include "ui/xml_helper.h"

CLayeredEditCtl::CLayeredEditCtl(HWND host) : CBaseElementCtl(host, true) { UpdateTextRect(); }

CLayeredEditCtl::~CLayeredEditCtl() = default;

void CLayeredEditCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  tab_ = CXmlHelper::IntAttribute(node, "tab") != 0;
  index_ = CXmlHelper::IntAttribute(node, "index");
  normal_back_ = ImageAttribute(node, "normalBack");
  hover_back_ = ImageAttribute(node, "hoverBack");
  image_ = ImageAttribute(node, "image");
  icon_ = ImageAttribute(node, "icon");
  password_ = CXmlHelper::IntAttribute(node, "pWd") != 0;
  read_only_ = CXmlHelper::IntAttribute(node, "readonly") != 0;
  std::wstring color = CXmlHelper::Attribute(node, "bordercolor");
  if (!color.empty()) border_color_ = ParseSkinColor(color);
  color = CXmlHelper::Attribute(node, "backcolor");
  if (!color.empty()) back_color_ = ParseSkinColor(color);
  color = CXmlHelper::Attribute(node, "textcolor");
  if (!color.empty()) text_color_ = ParseSkinColor(color);
  path_check_ = CXmlHelper::IntAttribute(node, "checkpath") != 0;
  UpdateTextRect();
}

void CLayeredEditCtl::UpdateTextRect() {
  text_rect_ = RECT{x_ + 10, y_ + 5, x_ + width_ - 10, y_ + height_ - 2};
  if (icon_) text_rect_.left += CGDIResource::BitmapSize(icon_).cx;
}

void CLayeredEditCtl::SetRect(int left, int top, int right, int bottom) {
  CBaseElementCtl::SetRect(left, top, right, bottom);
  UpdateTextRect();
}

void CLayeredEditCtl::SetPos(int x, int y, int width, int height) {
  CBaseElementCtl::SetPos(x, y, width, height);
  UpdateTextRect();
}

HWND CLayeredEditCtl::EditWindow() const {
  return popup_ && popup_->IsWindow() ? popup_->edit().hwnd() : nullptr;
}

std::wstring CLayeredEditCtl::GetTitle() const {
  HWND edit = EditWindow();
  if (!edit) return title_;
  int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

void CLayeredEditCtl::SetTitle(const std::wstring& title) {
  title_ = title;
  Redraw(true);
}

void CLayeredEditCtl::OnLButtonDown(UINT, int, int) {
  if (!popup_) popup_ = std::make_unique<EditPopWindow>(this);
  if (popup_->IsWindow()) return;
  RECT host;
  GetWindowRect(host_, &host);
  RECT screen = {host.left + text_rect_.left, host.top + text_rect_.top,
                 host.left + text_rect_.right, host.top + text_rect_.bottom};
  if (!popup_->Create(host_, screen) || !popup_->edit().hwnd()) {
    popup_.reset();
    return;
  }
  SendMessageW(popup_->edit().hwnd(), EM_LIMITTEXT, static_cast<WPARAM>(text_limit_), 0);
  // The editor taking the field's text is no change of it.
  loading_text_ = true;
  SetWindowTextW(popup_->edit().hwnd(), title_.c_str());
  loading_text_ = false;
}

void CLayeredEditCtl::PostTab() {
  if (tab_) PostMessageW(host_, UM_ELEMENT_TAB, reinterpret_cast<WPARAM>(this), index_);
}

void CLayeredEditCtl::OnEditChar(wchar_t ch) {
  if (ch == L'\r') {
    PostTab();
    PostNotify();
  } else if (ch == L'\t') {
    PostTab();
  }
}

void CLayeredEditCtl::OnEditChanged() {
  if (!loading_text_ && host_ && IsWindow(host_) && path_check_)
    PostMessageW(host_, UM_PATH_CHANGED, static_cast<WPARAM>(path_check_), 0);
}

void CLayeredEditCtl::OnEditFocusLost(const std::wstring& text) {
  title_ = text;
  if (!popup_) return;
  EditPopWindow* popup = popup_.release();
  popup->Detach();
  HWND popup_window = popup->hwnd();
  ShowWindow(popup_window, SW_HIDE);
  Redraw(true);
  // Destroyed on a later message: never while the edit handles its own.
  HWND utility = Global().utility_hwnd;
  if (utility && IsWindow(utility)) PostMessageW(utility, kMsgDestroyWindow, 0, reinterpret_cast<LPARAM>(popup_window));
  else PostMessageW(popup_window, WM_CLOSE, 0, 0);
}

void CLayeredEditCtl::ClosePopup() {
  if (!popup_ || !popup_->IsWindow()) return;
  title_ = GetTitle();
  Redraw(true);
  popup_.reset();  // destroys the window
}

void CLayeredEditCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  RECT rect = {x_, y_, x_ + width_, y_ + height_};
  if (image_) gdi.BlitWhole(dc, image_, rect, kBlendAlpha, 255);
  else gdi.DrawPlusRectangle(dc, rect, border_color_, back_color_);
  std::wstring shown = password_ ? std::wstring(title_.size(), L'*') : title_;
  gdi.DrawPlusText(dc, shown, text_rect_, gdi.Font(kFontNormal), text_color_, DT_SINGLELINE);
}
