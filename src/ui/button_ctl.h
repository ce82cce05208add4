// Push button: a four-frame image strip (normal, hover, pressed, disabled),
// optional icons and a caption whose colour follows the state. A press
// fires synchronously; the click is posted when the button is released
// over itself after a press that never left it.
//
// Thread affinity: the UI thread.

#ifndef UI_BUTTON_CTL_H_
#define UI_BUTTON_CTL_H_

#include "ui/element.h"
#include "ui/skin_values.h"

enum ButtonState { kStateNormal = 0, kStatePressed = 1, kStateHover = 2, kStateDisabled = 3 };

class CButtonCtl : public CBaseElementCtl {
 public:
  CButtonCtl(HWND host, bool layered);

  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;
  void OnLButtonDown(UINT message, int x, int y) override;
  void OnLButtonUp(UINT message, int x, int y) override;
  void OnMouseHover(UINT message, int x, int y) override;
  void OnMouseLeave() override;
  int FireClick() override;
  int FireRightClick() override;

  // State 0 (enabled) or 3; redraws when it changed.
  void Enable(bool enable);
  void SetVerticalStrip() { vertical_strip_ = true; }
  void SetIcon(HBITMAP icon) { icon_ = icon; }
  void SetImage(HBITMAP image) { image_ = image; }
  void SetTextColors(COLORREF normal, COLORREF hover, COLORREF down) {
    text_color_ = normal;
    hover_color_ = hover;
    down_color_ = down;
  }
  void SetTextWidth(int width) { text_width_ = width; }
  void SetCorner(const Quad& corner) { corner_ = corner; }
  int FirePressNow() { return on_press_.Fire(); }

  int state() const { return state_; }
  bool pressed() const { return pressed_; }

 protected:
  // Stores a new state and redraws when it differs.
  void SetState(int state);
  void DrawStrip(HDC dc, int frame);
  void DrawCaption(HDC dc, COLORREF color);
  COLORREF StateColor() const;

  int state_ = kStateNormal;
  bool pressed_ = false;   // went down inside and has not left since
  bool selected_ = false;  // check box, radio button and tab: checked or selected
  HBITMAP image_ = nullptr;
  HBITMAP icon_ = nullptr;
  HBITMAP small_icon_ = nullptr;
  COLORREF text_color_ = 0, hover_color_ = 0, down_color_ = 0, disabled_color_ = 0;
  bool vertical_strip_ = false;
  int text_width_ = 0;
  Quad corner_;
  HFONT font_ = nullptr;
  int hdelta_ = 0;
};

#endif  // UI_BUTTON_CTL_H_
