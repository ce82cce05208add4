#include "ui/static_ctl.h"

#include "app_global.h"
#include "ui/gdi_resource.h"
#include "ui/skin_values.h"
#include "ui/xml_helper.h"

CStaticCtl::CStaticCtl(HWND host, bool layered)
    : CBaseElementCtl(host, layered), font_(CGDIResource::Instance().Font(kFontNormal)) {}

void CStaticCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  background_ = ImageAttribute(node, "background");
  color_ = ParseSkinColor(CXmlHelper::Attribute(node, "color"));
  icon_ = ImageAttribute(node, "icon");
  CGDIResource& gdi = CGDIResource::Instance();
  if (CXmlHelper::IntAttribute(node, "bigfont")) font_ = gdi.Font(kFontLarge);
  if (CXmlHelper::IntAttribute(node, "samllfont")) font_ = gdi.Font(kFontSmallBold);
  viewport_ = CXmlHelper::IntAttribute(node, "viewport") != 0;
}

void CStaticCtl::OnLButtonDown(UINT, int, int) {
  if (visible_) pressed_ = true;
}

void CStaticCtl::OnLButtonUp(UINT, int, int) {
  if (!visible_) return;
  if (pressed_) PostClick();
  pressed_ = false;
}

void CStaticCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  RECT text = {x_, y_, x_ + width_, y_ + height_};
  UINT format = format_;
  if (icon_) {
    SIZE size = CGDIResource::BitmapSize(icon_);
    int top = y_ + (height_ - size.cy) / 2;
    gdi.BlitWhole(dc, icon_, RECT{x_, top, x_ + size.cx, top + size.cy}, kBlendAlpha, 255);
    text.left += size.cx + 2;
    format = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
  }
  POINT old_origin = {};
  if (viewport_) {
    SetWindowOrgEx(dc, 0, scroll_offset_, &old_origin);
    text.bottom += scroll_offset_;
  }
  if (layered_) gdi.DrawPlusText(dc, title_, text, font_, color_, format);
  else gdi.DrawGdiText(dc, title_, text, font_, color_, format);
  if (viewport_) SetWindowOrgEx(dc, 0, 0, nullptr);
  if (background_) gdi.BlitWhole(dc, background_, x_, y_, width_, height_, kBlendAlpha, 255);
}
