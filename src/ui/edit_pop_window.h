// The borderless popup that holds the live edit control of a layered edit
// field, and that edit control (subclassed system "EDIT") which reports
// typed characters, every change of the text (EN_CHANGE, which the popup
// receives) and the focus loss to its field.
//
// Thread affinity: the UI thread.

#ifndef UI_EDIT_POP_WINDOW_H_
#define UI_EDIT_POP_WINDOW_H_

#include <windows.h>

#include "ui/window_impl.h"

class CLayeredEditCtl;

class CMyEditEx {
 public:
  explicit CMyEditEx(CLayeredEditCtl* field) : field_(field) {}
  // Creates the edit control filling |parent| and subclasses it.
  HWND Create(HWND parent);
  HWND hwnd() const { return hwnd_; }
  void set_field(CLayeredEditCtl* field) { field_ = field; }
  CLayeredEditCtl* field() const { return field_; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  CLayeredEditCtl* field_;  // not owned; null once the field let go
  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
};

class EditPopWindow : public WindowImpl {
 public:
  explicit EditPopWindow(CLayeredEditCtl* field);
  ~EditPopWindow() override;

  bool Create(HWND owner, const RECT& screen_rect);
  CMyEditEx& edit() { return edit_; }
  // The field let go: from now on the window deletes this object when it
  // is destroyed.
  void Detach();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;
  void OnFinalMessage() override;

 private:
  CMyEditEx edit_;
  HBRUSH brush_;
  bool self_owned_ = false;
};

#endif  // UI_EDIT_POP_WINDOW_H_
