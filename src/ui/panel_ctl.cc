#include "ui/panel_ctl.h"

#include "app_global.h"
#include "ui/element_factory.h"
#include "ui/gdi_resource.h"
#include "ui/skin_values.h"
#include "ui/xml_helper.h"

CPanelCtl::CPanelCtl(HWND host, bool layered) : CBaseElementCtl(host, layered) {
  type_tag_ = L"Panel";
  tick_ = true;
  children_.SetHostWindow(host);
}

void CPanelCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  background_ = ImageAttribute(node, "background");
  std::wstring back = CXmlHelper::Attribute(node, "backcolor");
  if (!back.empty()) back_color_ = ParseSkinColor(back);
  std::wstring border = CXmlHelper::Attribute(node, "bordercolor");
  if (!border.empty()) border_color_ = ParseSkinColor(border);
  border_ = CXmlHelper::IntAttribute(node, "border") == 1;
  CreateElements(node, kCreatorPanel, host_, layered_, this);
}

void CPanelCtl::AddChild(std::unique_ptr<CBaseElementCtl> child) {
  child->SetPos(child->x() + x_, child->y() + y_, child->width(), child->height());
  children_.Add(std::move(child));
}

void CPanelCtl::ShiftChildren(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  for (const auto& child : children_.elements())
    child->SetPos(child->x() + dx, child->y() + dy, child->width(), child->height());
}

void CPanelCtl::SetRect(int left, int top, int right, int bottom) {
  SetPos(left, top, right - left, bottom - top);
}

void CPanelCtl::SetPos(int x, int y, int width, int height) {
  ShiftChildren(x - x_, y - y_);
  CBaseElementCtl::SetPos(x, y, width, height);
}

void CPanelCtl::Relayout(int old_width, int old_height, int new_width, int new_height) {
  int old_x = x_, old_y = y_, old_w = width_, old_h = height_;
  ShiftChildren(-old_x, -old_y);
  CBaseElementCtl::Relayout(old_width, old_height, new_width, new_height);
  for (const auto& child : children_.elements()) {
    child->Relayout(old_w, old_h, width_, height_);
    child->SetPos(child->x() + x_, child->y() + y_, child->width(), child->height());
  }
}

void CPanelCtl::SetVisible(bool visible) {
  for (const auto& child : children_.elements()) child->SetVisible(visible);
  visible_ = visible;
  Redraw(true);
}

void CPanelCtl::FocusElement(CBaseElementCtl* element) {
  CBaseElementCtl::FocusElement(element);
  children_.Focus(element);
}

void CPanelCtl::OnLButtonDown(UINT message, int x, int y) { children_.LButtonDown(message, x, y); }
void CPanelCtl::OnLButtonUp(UINT message, int x, int y) { children_.LButtonUp(message, x, y); }
void CPanelCtl::OnRButtonUp(UINT message, int x, int y) { children_.RButtonUp(message, x, y); }
void CPanelCtl::OnMouseHover(UINT message, int x, int y) { children_.MouseMove(message, x, y); }

void CPanelCtl::OnMouseLeave() {
  // A point outside every child makes the hovered child leave.
  children_.MouseMove(WM_MOUSELEAVE, -1000000, -1000000);
}

void CPanelCtl::OnWheel(UINT keys, int delta, int x, int y) { children_.Wheel(keys, delta, x, y); }

void CPanelCtl::OnHostMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  children_.HostMessage(message, wparam, lparam, handled);
}

void CPanelCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  RECT rect = {x_, y_, x_ + width_, y_ + height_};
  if (layered_) {
    if (border_) gdi.DrawPlusRectangle(dc, rect, border_color_, back_color_);
  } else {
    gdi.DrawRectangle(dc, rect, border_color_, back_color_);
    if (background_) {
      SIZE size = CGDIResource::BitmapSize(background_);
      gdi.DrawNineGrid(dc, background_, rect, RECT{0, 0, size.cx, size.cy}, 255, 10, 10, 10, 10);
    }
  }
  children_.Draw(dc);
}
