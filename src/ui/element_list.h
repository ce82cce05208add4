// The ordered elements of a window or panel (document order: later ones are
// drawn over earlier ones) and the dispatch of pointer, key, tick and host
// messages to them. Tooltip and cursor changes are sent to the host
// (UM_TOOLTIP, UM_SETCURSOR).
//
// Thread affinity: the UI thread. Ownership: owns its elements.

#ifndef UI_ELEMENT_LIST_H_
#define UI_ELEMENT_LIST_H_

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/element.h"

class ElementList {
 public:
  ElementList() = default;
  ElementList(const ElementList&) = delete;
  ElementList& operator=(const ElementList&) = delete;

  void SetHostWindow(HWND host) { host_ = host; }
  void Add(std::unique_ptr<CBaseElementCtl> element);
  void RemoveById(const std::wstring& id);
  void DestroyAll();
  // Document order; descends into panels before comparing their own id.
  CBaseElementCtl* FindById(const std::wstring& id) const;
  const std::vector<std::unique_ptr<CBaseElementCtl>>& elements() const { return elements_; }
  CBaseElementCtl* hovered() const { return hovered_; }

  void Draw(HDC dc);
  bool HitTest(int x, int y) const;
  void MouseMove(UINT message, int x, int y);
  void LButtonDown(UINT message, int x, int y);
  // Stops after the first receiver that is a plain button.
  void LButtonUp(UINT message, int x, int y);
  void RButtonUp(UINT message, int x, int y);
  void Wheel(UINT keys, int delta, int x, int y);
  void KeyDown(UINT vk);
  void KeyUp(UINT vk);
  void HostMoved();
  void Tick();
  void Focus(CBaseElementCtl* element);
  void HostMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  void Relayout(int old_width, int old_height, int new_width, int new_height);

 private:
  void Send(UINT message, WPARAM wparam, LPARAM lparam);

  std::vector<std::unique_ptr<CBaseElementCtl>> elements_;
  CBaseElementCtl* hovered_ = nullptr;  // one of elements_, or null
  HWND host_ = nullptr;
};

#endif  // UI_ELEMENT_LIST_H_
