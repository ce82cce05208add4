// Hyperlink: a button drawn as text, underlined while hovered or pressed,
// with the hand cursor over it. Its click also hands its target text to the
// id callback.
//
// Thread affinity: the UI thread.

#ifndef UI_HYPERLINK_CTL_H_
#define UI_HYPERLINK_CTL_H_

#include "ui/button_ctl.h"

class CHyperLinkCtl : public CButtonCtl {
 public:
  CHyperLinkCtl(HWND host, bool layered);

  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;
  void OnMouseHover(UINT message, int x, int y) override;
  void OnMouseLeave() override;
  int FireClick() override;

  void SetTarget(const std::wstring& target) { target_ = target; }
  const std::wstring& target() const { return target_; }
  void SetLinkColor(COLORREF color) { link_color_ = color; }
  void SetHoverColor(COLORREF color) { hover_color_ = color; }
  // Right-aligned text that ends where the link ended before.
  void AlignRight();
  // Asks the shell to open the target.
  void OpenTarget();

 private:
  COLORREF link_color_ = 0, visited_color_ = 0;
  UINT format_ = 0;
  std::wstring target_;
};

#endif  // UI_HYPERLINK_CTL_H_
