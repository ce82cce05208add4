#include "ui/hyperlink_ctl.h"

#include <shellapi.h>

#include "ui/gdi_resource.h"
#include "ui/xml_helper.h"

CHyperLinkCtl::CHyperLinkCtl(HWND host, bool layered) : CButtonCtl(host, layered) {
  // Not a button: a button-up must go on to the elements under the link.
  type_tag_.clear();
}

void CHyperLinkCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  link_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "linkcolor"));
  visited_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "visitedcolor"));
  hover_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "hovercolor"));
}

void CHyperLinkCtl::OnMouseHover(UINT message, int x, int y) {
  cursor_ = LoadCursorW(nullptr, IDC_HAND);
  CButtonCtl::OnMouseHover(message, x, y);
}

void CHyperLinkCtl::OnMouseLeave() {
  cursor_ = LoadCursorW(nullptr, IDC_ARROW);
  CButtonCtl::OnMouseLeave();
}

int CHyperLinkCtl::FireClick() {
  int result = on_click_.Fire();
  if (on_click_.id_callback) on_click_.id_callback(target_);
  return result;
}

void CHyperLinkCtl::AlignRight() {
  int right = x_ + width_;
  format_ = DT_RIGHT;
  x_ = right - MeasureText(title_, CGDIResource::Instance().Font(kFontNormal));
}

void CHyperLinkCtl::OpenTarget() {
  ShellExecuteW(nullptr, L"open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CHyperLinkCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  COLORREF color = link_color_;
  HFONT font = gdi.Font(kFontNormal);
  switch (state_) {
    case kStatePressed: color = visited_color_; font = gdi.Font(kFontUnderline); break;
    case kStateHover: color = hover_color_; font = gdi.Font(kFontUnderline); break;
    case kStateDisabled: color = RGB(0x99, 0x99, 0x99); break;
    default: break;
  }
  RECT text = {x_, y_, x_ + width_, y_ + height_};
  if (icon_) {
    SIZE size = CGDIResource::BitmapSize(icon_);
    int top = y_ + (height_ - size.cy) / 2;
    gdi.BlitWhole(dc, icon_, RECT{x_, top, x_ + size.cx, top + size.cy}, kBlendAlpha, 255);
    text.left += size.cx + 2;
  }
  if (layered_) gdi.DrawPlusText(dc, title_, text, font, color, format_);
  else gdi.DrawGdiText(dc, title_, text, font, color, format_);
}
