// The text field of a layered window. A layered window cannot show child
// controls, so the field is drawn as an element, and only while the user
// edits it a real edit control sits on top of it in a borderless popup.
// Losing the focus copies the text back, hides the popup and redraws.
//
// Thread affinity: the UI thread. Ownership: the element owns its popup
// while editing; after a focus loss the popup window owns itself and is
// destroyed later through the utility window.

#ifndef UI_LAYERED_EDIT_CTL_H_
#define UI_LAYERED_EDIT_CTL_H_

#include <memory>
#include <string>

#include "ui/element.h"

class EditPopWindow;

class CLayeredEditCtl : public CBaseElementCtl {
 public:
  explicit CLayeredEditCtl(HWND host);
  ~CLayeredEditCtl() override;

  void LoadAttributes(TiXmlElement* node) override;
  // While editing: the live text of the edit control.
  std::wstring GetTitle() const override;
  // Replaces the text and redraws; an open editor keeps its own text.
  void SetTitle(const std::wstring& title) override;
  void SetVisible(bool visible) override { visible_ = visible; }
  void SetRect(int left, int top, int right, int bottom) override;
  void SetPos(int x, int y, int width, int height) override;
  void OnLButtonDown(UINT message, int x, int y) override;
  void Draw(HDC dc) override;
  // The field keeps its place; the popup does not follow a moved window.
  void Relayout(int, int, int, int) override {}
  void OnHostMoved() override {}
  void PostTab() override;

  void SetTextLimit(int characters) { text_limit_ = characters; }
  int text_limit() const { return text_limit_; }
  // Copies the text back, redraws and destroys the popup now.
  void ClosePopup();
  // The edit control while editing, else null.
  HWND EditWindow() const;

  // Called by the live edit control.
  void OnEditChar(wchar_t ch);
  // Any change of the text: typing, deleting, pasting, cutting, undoing.
  void OnEditChanged();
  void OnEditFocusLost(const std::wstring& text);

 private:
  void UpdateTextRect();

  std::unique_ptr<EditPopWindow> popup_;
  RECT text_rect_ = {};
  COLORREF border_color_ = RGB(60, 152, 208);
  COLORREF back_color_ = RGB(255, 255, 255);
  COLORREF text_color_ = RGB(0, 0, 0);
  HBITMAP normal_back_ = nullptr, hover_back_ = nullptr, icon_ = nullptr, image_ = nullptr;
  bool password_ = false;
  bool tab_ = false;
  bool read_only_ = false;
  int index_ = 0;
  int text_limit_ = 5000;
  bool loading_text_ = false;  // the editor is being filled with the title
};

#endif  // UI_LAYERED_EDIT_CTL_H_
