// Panel: a container that owns an element list of its own. Children are
// stored in host-window coordinates; the panel carries them along when it
// moves or is laid out, and forwards input, keys, ticks, host messages and
// visibility to them.
//
// Thread affinity: the UI thread. Ownership: owns its children.

#ifndef UI_PANEL_CTL_H_
#define UI_PANEL_CTL_H_

#include <memory>

#include "ui/element.h"
#include "ui/element_list.h"

class CPanelCtl : public CBaseElementCtl {
 public:
  CPanelCtl(HWND host, bool layered);

  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;
  ElementList* Children() override { return &children_; }
  // Moves the child by the panel's position, then appends it.
  void AddChild(std::unique_ptr<CBaseElementCtl> child);

  void SetRect(int left, int top, int right, int bottom) override;
  void SetPos(int x, int y, int width, int height) override;
  void Relayout(int old_width, int old_height, int new_width, int new_height) override;
  void SetVisible(bool visible) override;
  void FocusElement(CBaseElementCtl* element) override;
  void OnLButtonDown(UINT message, int x, int y) override;
  void OnLButtonUp(UINT message, int x, int y) override;
  void OnRButtonUp(UINT message, int x, int y) override;
  void OnMouseHover(UINT message, int x, int y) override;
  void OnMouseLeave() override;
  void OnWheel(UINT keys, int delta, int x, int y) override;
  void OnKeyDown(UINT vk) override { children_.KeyDown(vk); }
  void OnKeyUp(UINT vk) override { children_.KeyUp(vk); }
  void OnTick() override { children_.Tick(); }
  void OnHostMoved() override { children_.HostMoved(); }
  void OnHostMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;

 protected:
  // Moves every child by (dx, dy).
  void ShiftChildren(int dx, int dy);

  ElementList children_;
  HBITMAP background_ = nullptr;
  COLORREF back_color_ = RGB(255, 255, 255);
  COLORREF border_color_ = RGB(255, 255, 255);
  bool border_ = false;
};

#endif  // UI_PANEL_CTL_H_
