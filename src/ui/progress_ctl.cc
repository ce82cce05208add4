#include "ui/progress_ctl.h"

#include <cstdio>

#include "app_global.h"
#include "ui/gdi_resource.h"
#include "ui/xml_helper.h"

CProgressCtl::CProgressCtl(HWND host, bool layered) : CBaseElementCtl(host, layered) {
  enabled_ = false;  // never hit
}

void CProgressCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  background_ = ImageAttribute(node, "background");
  progress_image_ = ImageAttribute(node, "progress");
  progress_width_ = CXmlHelper::IntAttribute(node, "progress_width");
  light_point_ = ImageAttribute(node, "image");
  light_point_delta_ = CXmlHelper::IntAttribute(node, "lightpointdela");
}

void CProgressCtl::SetProgress(double fraction) {
  progress_ = fraction;
  Redraw(true);
}

std::wstring CProgressCtl::PercentText(double fraction) {
  wchar_t text[26];
  swprintf(text, 26, L"%.1f%%", fraction * 100.0);
  return text;
}

void CProgressCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  int pw = progress_width_;
  if (background_) {
    gdi.BlitWhole(dc, background_, x_, y_, width_, pw, kBlendAlpha, 255);
  } else {
    RECT track = {x_, y_, x_ + pw, y_ + height_};
    if (layered_) gdi.DrawPlusRectangle(dc, track, back_color_, back_color_);
    else gdi.DrawRectangle(dc, track, back_color_, back_color_);
  }
  int filled = static_cast<int>(pw * progress_);
  if (progress_image_) {
    SIZE size = CGDIResource::BitmapSize(progress_image_);
    gdi.BlitWhole(dc, progress_image_, x_ + 8, y_ + 7, filled, size.cy, kBlendAlpha, 255);
  } else {
    RECT fill = {x_, y_, x_ + filled, y_ + height_};
    if (filled > 0) {
      if (layered_) gdi.DrawPlusRectangle(dc, fill, fill_color_, fill_color_);
      else gdi.DrawRectangle(dc, fill, fill_color_, fill_color_);
    }
  }
  if (light_point_) {
    SIZE size = CGDIResource::BitmapSize(light_point_);
    gdi.BlitWhole(dc, light_point_, x_ + filled + light_point_delta_ - size.cx / 2,
                  y_ + height_ / 2 - size.cy / 2, size.cx, size.cy, kBlendAlpha, 255);
  }
  // The left edge is pw + 30 in host coordinates, without the element's x.
  RECT text = {pw + 30, y_ - 10, pw + 85, y_ + 10};
  UINT format = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
  if (layered_) gdi.DrawPlusText(dc, PercentText(progress_), text, gdi.Font(kFontSmallBold), RGB(0xFA, 0xFA, 0xFA), format);
  else gdi.DrawGdiText(dc, PercentText(progress_), text, gdi.Font(kFontSmallBold), RGB(0xFA, 0xFA, 0xFA), format);
}
