// The installer's only dialog: modal over the main window, either asking
// whether to quit (confirm mode: "Yes" 1, "No" or close 0) or showing one
// message with a single button (message mode).
//
// Thread affinity: ui_thread. Created on the caller's stack:
//   CUIUpDate dialog;  dialog.set_mode(CUIUpDate::kModeMessage);
//   dialog.Create(main_window);  dialog.SetMessage(text);  dialog.DoModal();

#ifndef UI_UP_DATE_H_
#define UI_UP_DATE_H_

#include <string>

#include "ui/trans_window.h"

class CUIUpDate : public CTransWindow {
 public:
  enum Mode { kModeConfirm = 0, kModeMessage = 1 };

  CUIUpDate() = default;
  void set_mode(int mode) { mode_ = mode; }
  // The skin follows the system language; false when it cannot be created
  // (DoModal then returns 0 at once).
  bool Create(HWND owner);
  void SetMessage(const std::wstring& text);

 protected:
  void DrawBackground(HDC dc) override;
  void OnCreated() override;
  void OnClosed() override;

 private:
  void Answer(int result);

  int mode_ = kModeConfirm;
};

#endif  // UI_UP_DATE_H_
