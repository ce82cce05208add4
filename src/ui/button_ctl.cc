#include "ui/button_ctl.h"

#include <algorithm>

#include "app_global.h"
#include "ui/gdi_resource.h"
#include "ui/xml_helper.h"

namespace {

constexpr UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
constexpr UINT kCaptionBesideIconFormat = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

// Strip frame of each state: normal 0, hover 1, pressed 2, disabled 3.
int FrameOf(int state) {
  switch (state) {
    case kStateHover: return 1;
    case kStatePressed: return 2;
    case kStateDisabled: return 3;
    default: return 0;
  }
}

}  // namespace

CButtonCtl::CButtonCtl(HWND host, bool layered) : CBaseElementCtl(host, layered) {
  type_tag_ = L"DirectButton";
}

void CButtonCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  if (HBITMAP image = ImageAttribute(node, "image")) image_ = image;
  icon_ = ImageAttribute(node, "icon");
  small_icon_ = ImageAttribute(node, "smallicon");
  text_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "textcolor"));
  hover_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "hovercolor"));
  down_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "downcolor"));
  disabled_color_ = ParseSkinColor(CXmlHelper::Attribute(node, "discolor"));
  corner_ = ParseSkinQuad(CXmlHelper::Attribute(node, "corner"));
  hdelta_ = CXmlHelper::IntAttribute(node, "hdelta");
  if (CXmlHelper::IntAttribute(node, "bigfont")) font_ = CGDIResource::Instance().Font(kFontLarge);
}

void CButtonCtl::SetState(int state) {
  if (state_ == state) return;
  state_ = state;
  Redraw(true);
}

void CButtonCtl::Enable(bool enable) { SetState(enable ? kStateNormal : kStateDisabled); }

void CButtonCtl::OnLButtonDown(UINT, int, int) {
  if (state_ == kStateDisabled) return;
  pressed_ = true;
  SetState(kStatePressed);
  FirePressNow();
}

void CButtonCtl::OnMouseHover(UINT, int, int) {
  if (state_ == kStateDisabled) return;
  SetState(pressed_ ? kStatePressed : kStateHover);
}

void CButtonCtl::OnMouseLeave() {
  pressed_ = false;
  if (state_ != kStateDisabled) SetState(kStateNormal);
}

void CButtonCtl::OnLButtonUp(UINT, int, int) {
  if (!visible_ || state_ == kStateDisabled) return;
  bool click = pressed_ && state_ == kStatePressed;
  SetState(kStateHover);
  if (click) PostClick();
  pressed_ = false;
}

int CButtonCtl::FireClick() { return on_click_.FireOrPassId(id_); }
int CButtonCtl::FireRightClick() { return on_right_click_.FireOrPassId(id_); }

COLORREF CButtonCtl::StateColor() const {
  switch (state_) {
    case kStateHover: return hover_color_;
    case kStatePressed: return down_color_;
    case kStateDisabled: return disabled_color_;
    default: return text_color_;
  }
}

void CButtonCtl::DrawStrip(HDC dc, int frame) {
  if (!image_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  SIZE size = CGDIResource::BitmapSize(image_);
  int fw = vertical_strip_ ? size.cx : size.cx / 4;
  int fh = vertical_strip_ ? size.cy / 4 : size.cy;
  RECT source = vertical_strip_ ? RECT{0, frame * fh, fw, (frame + 1) * fh}
                                : RECT{frame * fw, 0, (frame + 1) * fw, fh};
  RECT dest = {x_, y_, x_ + width_, y_ + height_};
  if (fw < width_ || fh < height_) {
    if (corner_.right == corner_.left && corner_.bottom == corner_.top) corner_ = Quad{3, 6, 3, 6};
    gdi.DrawNineGrid(dc, image_, dest, source, 255, corner_.left, corner_.top, corner_.right,
                     corner_.bottom);
  } else {
    gdi.Blit(dc, image_, dest, source, kBlendAlpha);
  }
}

void CButtonCtl::DrawCaption(HDC dc, COLORREF color) {
  if (title_.empty()) return;
  CGDIResource& gdi = CGDIResource::Instance();
  RECT text = {x_, y_ + hdelta_, x_ + width_, y_ + height_};
  UINT format = kCaptionFormat;
  int icon_right = 0;
  if (icon_) {
    SIZE size = CGDIResource::BitmapSize(icon_);
    int caption = MeasureText(title_, gdi.Font(kFontNormal));
    if (caption > 0) caption += 5;
    icon_right = x_ + std::max(0, static_cast<int>((width_ - size.cx / 4 - caption) / 2)) + size.cx / 4;
  } else if (small_icon_) {
    SIZE size = CGDIResource::BitmapSize(small_icon_);
    int caption = MeasureText(title_, gdi.Font(kFontNormal));
    icon_right = x_ + (width_ - caption - size.cx - 5) / 2 + size.cx;
  }
  if (icon_ || small_icon_) {
    format = kCaptionBesideIconFormat;
    text.left = icon_right + 5;
    if (text_width_ > 0) text.right = icon_right + text_width_ + 5;
  }
  if (layered_) gdi.DrawPlusText(dc, title_, text, font_ ? font_ : gdi.Font(kFontNormal), color, format);
  else gdi.DrawGdiText(dc, title_, text, font_, color, format);
}

void CButtonCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  DrawStrip(dc, FrameOf(state_));
  if (icon_) {
    SIZE size = CGDIResource::BitmapSize(icon_);
    int fw = size.cx / 4;
    int caption = MeasureText(title_, gdi.Font(kFontNormal));
    if (caption > 0) caption += 5;
    int ix = x_ + std::max(0, static_cast<int>((width_ - fw - caption) / 2));
    int iy = y_ + std::max(0, static_cast<int>((height_ - size.cy) / 2));
    int frame = FrameOf(state_);
    gdi.Blit(dc, icon_, RECT{ix, iy, ix + fw, iy + size.cy},
             RECT{frame * fw, 0, (frame + 1) * fw, size.cy}, kBlendAlpha);
  }
  if (small_icon_) {
    SIZE size = CGDIResource::BitmapSize(small_icon_);
    int caption = MeasureText(title_, gdi.Font(kFontNormal));
    int ix = x_ + (width_ - caption - size.cx - 5) / 2;
    int iy = y_ + (height_ - size.cy) / 2;
    gdi.BlitWhole(dc, small_icon_, RECT{ix, iy, ix + size.cx, iy + size.cy}, kBlendAlpha, 255);
  }
  DrawCaption(dc, StateColor());
}
