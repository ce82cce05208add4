// Static text: a caption with an optional icon and background image; the
// text may scroll (viewport). Posts a click when released after a press.
//
// Thread affinity: the UI thread.

#ifndef UI_STATIC_CTL_H_
#define UI_STATIC_CTL_H_

#include "ui/element.h"

class CStaticCtl : public CBaseElementCtl {
 public:
  CStaticCtl(HWND host, bool layered);

  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;
  void OnLButtonDown(UINT message, int x, int y) override;
  void OnLButtonUp(UINT message, int x, int y) override;

  void SetTextColor(COLORREF color) { color_ = color; }
  COLORREF text_color() const { return color_; }
  void SetFont(HFONT font) { font_ = font; }
  void SetFormat(UINT format) { format_ = format; }
  void SetIcon(HBITMAP icon) { icon_ = icon; }
  void SetBackground(HBITMAP background) { background_ = background; }

 private:
  HBITMAP background_ = nullptr;
  HBITMAP icon_ = nullptr;
  COLORREF color_ = RGB(0, 0, 0);
  HFONT font_;
  UINT format_ = 0;
  bool viewport_ = false;
  int scroll_offset_ = 0;
  bool pressed_ = false;
};

#endif  // UI_STATIC_CTL_H_
