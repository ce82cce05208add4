#include "ui/element.h"

#include "app_global.h"
#include "ui/gdi_resource.h"
#include "ui/skin_values.h"
#include "ui/ui_messages.h"
#include "ui/xml_helper.h"

int EventSlot::Fire() const { return callback ? callback() : -1; }

int EventSlot::FireOrPassId(const std::wstring& id) const {
  if (callback) return callback();
  if (id_callback) {
    id_callback(id);
    return 0;
  }
  return -1;
}

HBITMAP CBaseElementCtl::NamedImage(const wchar_t* name) {
  HMODULE module = AppInstance() ? AppInstance() : GetModuleHandleW(nullptr);
  return CGDIResource::Instance().ImageFromResource(module, name);
}

HBITMAP CBaseElementCtl::ImageAttribute(TiXmlElement* node, const char* name) {
  std::wstring image = CXmlHelper::Attribute(node, name);
  return image.empty() ? nullptr : NamedImage(image.c_str());
}

CBaseElementCtl::CBaseElementCtl(HWND host, bool layered)
    : host_(host), cursor_(LoadCursorW(nullptr, IDC_ARROW)), layered_(layered) {}

void CBaseElementCtl::LoadAttributes(TiXmlElement* node) { LoadCommonAttributes(node); }

void CBaseElementCtl::LoadCommonAttributes(TiXmlElement* node) {
  id_ = CXmlHelper::Attribute(node, "id");
  name_ = CXmlHelper::Attribute(node, "name");
  title_ = CXmlHelper::Attribute(node, "title");
  tip_ = CXmlHelper::Attribute(node, "tip");
  style_ = CXmlHelper::IntAttribute(node, "style");
  style_ex_ = CXmlHelper::IntAttribute(node, "style_ex");
  x_ = design_x_ = CXmlHelper::IntAttribute(node, "left");
  y_ = design_y_ = CXmlHelper::IntAttribute(node, "top");
  width_ = design_width_ = CXmlHelper::IntAttribute(node, "width");
  height_ = design_height_ = CXmlHelper::IntAttribute(node, "height");
  LoadLayoutAttributes(node);
}

void CBaseElementCtl::LoadLayoutAttributes(TiXmlElement* node) {
  layout_.x_alignment = ParseSkinAlignment(CXmlHelper::Attribute(node, "xAlignment"), kAlignLeft);
  layout_.y_alignment = ParseSkinAlignment(CXmlHelper::Attribute(node, "yAlignment"), kAlignTop);
  layout_.x_stretch = ParseSkinStretch(CXmlHelper::Attribute(node, "xStretch"));
  layout_.y_stretch = ParseSkinStretch(CXmlHelper::Attribute(node, "yStretch"));
}

void CBaseElementCtl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Redraw(true);
}

void CBaseElementCtl::SetRect(int left, int top, int right, int bottom) {
  SetPos(left, top, right - left, bottom - top);
}

void CBaseElementCtl::SetPos(int x, int y, int width, int height) {
  x_ = x;
  y_ = y;
  width_ = width;
  height_ = height;
}

void CBaseElementCtl::SetDesignPos(int x, int y, int width, int height) {
  design_x_ = x;
  design_y_ = y;
  design_width_ = width;
  design_height_ = height;
}

RECT CBaseElementCtl::GetRect() const {
  int left = x_ + offset_x_, top = y_ + offset_y_;
  return RECT{left, top, left + width_, top + height_};
}

RECT CBaseElementCtl::GetDesignRect() const {
  return RECT{design_x_, design_y_, design_x_ + design_width_, design_y_ + design_height_};
}

void CBaseElementCtl::Redraw(bool redraw) {
  if (!host_ || !redraw) return;
  if (layered_) {
    PostMessageW(host_, UM_LAYERED_REDRAW, 0, 100);
  } else {
    RECT rect = GetRect();
    InvalidateRect(host_, &rect, TRUE);
  }
}

int CBaseElementCtl::MeasureText(const std::wstring& text, HFONT font) const {
  HDC dc = GetDC(host_);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (font) SelectObject(dc, old);
  ReleaseDC(host_, dc);
  return size.cx;
}

void CBaseElementCtl::PostPress() {
  PostMessageW(host_, UM_ELEMENT_CHECKED, reinterpret_cast<WPARAM>(this), 0);
}

void CBaseElementCtl::PostClick() {
  PostMessageW(host_, UM_ELEMENT_CLICK, reinterpret_cast<WPARAM>(this), 0);
}

void CBaseElementCtl::PostNotify() {
  PostMessageW(host_, UM_ELEMENT_NOTIFY, reinterpret_cast<WPARAM>(this), 0);
}

void CBaseElementCtl::OnLButtonDown(UINT, int, int) {}
void CBaseElementCtl::OnLButtonUp(UINT, int, int) {}

void CBaseElementCtl::OnRButtonUp(UINT, int, int) {
  PostMessageW(host_, UM_ELEMENT_RCLICK, reinterpret_cast<WPARAM>(this), 0);
}

void CBaseElementCtl::OnMouseHover(UINT, int, int) { on_hover_.Fire(); }
void CBaseElementCtl::OnMouseLeave() { on_leave_.Fire(); }
void CBaseElementCtl::OnWheel(UINT, int, int, int) {}

void CBaseElementCtl::Relayout(int old_width, int old_height, int new_width, int new_height) {
  int x = x_, y = y_, w = width_, h = height_;
  if (layout_.x_alignment == kAlignRight) x = new_width - design_x_;
  else if (layout_.x_alignment == kAlignCenter) x = (new_width - w) / 2;
  if (layout_.y_alignment == kAlignBottom) y = new_height - design_y_;
  else if (layout_.y_alignment == kAlignCenter) y = (new_height - h) / 2;

  if (layout_.x_stretch == kStretchScale && old_width != 0)
    w = static_cast<int>(static_cast<double>(w) * new_width / old_width);
  else if (layout_.x_stretch == kStretchFill)
    w = new_width + w - old_width;
  if (layout_.y_stretch == kStretchScale && old_height != 0)
    h = static_cast<int>(static_cast<double>(h) * new_height / old_height);
  else if (layout_.y_stretch == kStretchFill)
    h = new_height + h - old_height;
  // Plain fields: a container's Relayout moves its children itself.
  x_ = x;
  y_ = y;
  width_ = w;
  height_ = h;
}

bool CBaseElementCtl::PointInRect(int x, int y, int left, int top, int right, int bottom) {
  return left <= x && x <= right && top <= y && y <= bottom;
}

bool CBaseElementCtl::HitTest(int x, int y) const {
  if (!visible_ || !enabled_) return false;
  RECT r = GetRect();
  return PointInRect(x, y, r.left, r.top, r.right, r.bottom);
}

int CBaseElementCtl::FireClick() { return on_click_.Fire(); }
int CBaseElementCtl::FireRightClick() { return on_right_click_.Fire(); }

void CBaseElementCtl::OnHostMessage(UINT, WPARAM, LPARAM, bool*) {}
