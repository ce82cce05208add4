#include "ui/option_line_ctl.h"

#include "ui/gdi_resource.h"
#include "ui/skin_values.h"
#include "ui/xml_helper.h"

COptionLineCtl::COptionLineCtl(HWND host, bool layered) : CBaseElementCtl(host, layered) {
  type_tag_ = L"DUIOptionLine";
}

void COptionLineCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  text_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "textcolor"));
  line_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "linecolor"));
}

void COptionLineCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  HFONT font = gdi.Font(kFontNormal);
  int line_left = x_;
  if (!title_.empty()) {
    int text_width = MeasureText(title_, font);
    RECT text = {x_, y_, x_ + text_width + 10, y_ + height_};
    if (layered_) gdi.DrawPlusText(dc, title_, text, font, text_color_, 0);
    else gdi.DrawGdiText(dc, title_, text, font, text_color_, 0);
    line_left = x_ + text_width + 10;
  }
  int middle = y_ + height_ / 2;
  if (layered_) gdi.DrawPlusLine(dc, line_left, middle, x_ + width_, middle, line_color_);
  else gdi.DrawLine(dc, line_left, middle, x_ + width_, middle, line_color_);
}
