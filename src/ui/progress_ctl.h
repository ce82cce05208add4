// Progress bar: a track of progress_width pixels, the filled part, a light
// point at its head and the percentage ("50.0%") to the right. Never hit by
// the pointer.
//
// Thread affinity: the UI thread.

#ifndef UI_PROGRESS_CTL_H_
#define UI_PROGRESS_CTL_H_

#include <string>

#include "ui/element.h"

class CProgressCtl : public CBaseElementCtl {
 public:
  CProgressCtl(HWND host, bool layered);

  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;

  // 0.0 to 1.0; redraws.
  void SetProgress(double fraction);
  double progress() const { return progress_; }
  // The percentage text for a fraction, e.g. "50.0%".
  static std::wstring PercentText(double fraction);

 private:
  HBITMAP background_ = nullptr;
  HBITMAP progress_image_ = nullptr;
  HBITMAP light_point_ = nullptr;
  int progress_width_ = 0;
  int light_point_delta_ = 0;
  COLORREF back_color_ = RGB(53, 53, 61);
  COLORREF fill_color_ = RGB(144, 197, 38);
  double progress_ = 0.0;
};

#endif  // UI_PROGRESS_CTL_H_
