// Option line: a title followed by a horizontal rule to the right edge.
//
// Thread affinity: the UI thread.

#ifndef UI_OPTION_LINE_CTL_H_
#define UI_OPTION_LINE_CTL_H_

#include "ui/element.h"

class COptionLineCtl : public CBaseElementCtl {
 public:
  COptionLineCtl(HWND host, bool layered);
  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;

 private:
  COLORREF text_color_ = 0;
  COLORREF line_color_ = 0;
};

#endif  // UI_OPTION_LINE_CTL_H_
