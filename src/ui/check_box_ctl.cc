#include "ui/check_box_ctl.h"

#include "app_global.h"
#include "ui/gdi_resource.h"
#include "ui/ui_messages.h"
#include "ui/xml_helper.h"

namespace {

constexpr COLORREF kDefaultTextColor = RGB(67, 75, 94);

}  // namespace

CCheckBoxCtl::CCheckBoxCtl(HWND host, bool layered) : CButtonCtl(host, layered) {
  type_tag_.clear();
  text_color_ = kDefaultTextColor;
  image_ = NamedImage(L"CHECK_BOX");
}

void CCheckBoxCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  if (HBITMAP image = ImageAttribute(node, "image")) image_ = image;
  std::wstring color = CXmlHelper::Attribute(node, "textcolor");
  if (!color.empty()) text_color_ = ParseSkinColor(color);
}

void CCheckBoxCtl::SetChecked(bool checked) {
  selected_ = checked;
  pressed_ = checked;
  if (state_ != kStateDisabled) state_ = checked ? kStatePressed : kStateNormal;
}

void CCheckBoxCtl::OnLButtonDown(UINT, int, int) {
  if (state_ == kStateDisabled) return;
  selected_ = !selected_;
  pressed_ = selected_;
  SetState(selected_ ? kStatePressed : kStateNormal);
  PostPress();
}

void CCheckBoxCtl::OnMouseHover(UINT, int, int) {
  if (state_ == kStateDisabled) return;
  SetState(selected_ ? kStatePressed : kStateHover);
}

void CCheckBoxCtl::OnMouseLeave() {
  if (state_ == kStateDisabled || selected_) return;
  SetState(kStateNormal);
}

void CCheckBoxCtl::OnLButtonUp(UINT, int, int) {
  if (state_ != kStateDisabled) PostClick();
}

void CCheckBoxCtl::Draw(HDC dc) {
  if (!visible_) return;
  CGDIResource& gdi = CGDIResource::Instance();
  SIZE size = CGDIResource::BitmapSize(image_);
  int fw = size.cx / 2;
  int frame = state_ == kStatePressed ? 1 : 0;
  int top = y_ + (height_ - size.cy) / 2;
  if (image_)
    gdi.Blit(dc, image_, RECT{x_, top, x_ + fw, top + size.cy},
             RECT{frame * fw, 0, (frame + 1) * fw, size.cy}, kBlendAlpha);
  RECT text = {x_ + fw + 5, y_, x_ + width_ + 4, y_ + height_};
  if (layered_) gdi.DrawPlusText(dc, title_, text, gdi.Font(kFontNormal), text_color_, DT_VCENTER | DT_SINGLELINE);
  else gdi.DrawGdiText(dc, title_, text, gdi.Font(kFontNormal), text_color_, DT_VCENTER | DT_SINGLELINE);
}

CRadioButtonCtl::CRadioButtonCtl(HWND host, bool layered) : CCheckBoxCtl(host, layered) {
  image_ = NamedImage(L"RadioButton");
}

void CRadioButtonCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  if (HBITMAP image = ImageAttribute(node, "image")) image_ = image;
}

void CRadioButtonCtl::OnLButtonDown(UINT, int, int) {
  if (state_ == kStateDisabled || selected_) return;
  pressed_ = true;
  selected_ = true;
  SetState(kStatePressed);
  SendMessageW(host_, UM_RADIO_SELECTED, reinterpret_cast<WPARAM>(this), 0);
}
