// Check box: toggles on button-down (posting UM_ELEMENT_CHECKED), posts its
// click on button-up; SetChecked changes it silently. Draws frame 1 of its
// two-frame image when checked, frame 0 otherwise, with the caption beside.
//
// Thread affinity: the UI thread.

#ifndef UI_CHECK_BOX_CTL_H_
#define UI_CHECK_BOX_CTL_H_

#include "ui/button_ctl.h"

class CCheckBoxCtl : public CButtonCtl {
 public:
  CCheckBoxCtl(HWND host, bool layered);

  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;
  void OnLButtonDown(UINT message, int x, int y) override;
  void OnLButtonUp(UINT message, int x, int y) override;
  void OnMouseHover(UINT message, int x, int y) override;
  void OnMouseLeave() override;

  bool IsChecked() const { return selected_; }
  // No redraw and no event.
  void SetChecked(bool checked);
};

// Radio button: selected on button-down (never unselected by a click), sends
// UM_RADIO_SELECTED to its host; draws like a check box.
class CRadioButtonCtl : public CCheckBoxCtl {
 public:
  CRadioButtonCtl(HWND host, bool layered);
  void LoadAttributes(TiXmlElement* node) override;
  void OnLButtonDown(UINT message, int x, int y) override;
};

#endif  // UI_CHECK_BOX_CTL_H_
