// Tabs and the tab list: a tab is a button whose pressed look marks the
// selected tab; the list selects one tab and shows the page element added
// for it.
//
// Thread affinity: the UI thread.

#ifndef UI_TAB_CTL_H_
#define UI_TAB_CTL_H_

#include <map>
#include <string>

#include "ui/button_ctl.h"
#include "ui/panel_ctl.h"

class CTabListCtl;

class CTabCtl : public CButtonCtl {
 public:
  CTabCtl(HWND host, bool layered, CTabListCtl* list);

  void OnLButtonUp(UINT message, int x, int y) override;
  void OnMouseHover(UINT message, int x, int y) override;
  void OnMouseLeave() override;
  void Redraw(bool redraw) override;

  // Selected look on or off (selected and pressed flags together).
  void SetSelected(bool selected);
  bool IsSelected() const { return selected_; }
  void SetBadge(bool badge);

 private:
  CTabListCtl* list_;  // owns this tab
  bool badge_ = false;
};

class CTabListCtl : public CPanelCtl {
 public:
  CTabListCtl(HWND host, bool layered);

  void LoadAttributes(TiXmlElement* node) override;
  void Draw(HDC dc) override;

  // |page| (not owned) is shown exactly while the tab |tab_id| is selected.
  void AddPage(const std::wstring& tab_id, CBaseElementCtl* page);
  void SelectTab(const std::wstring& tab_id);
  void ClearSelection();

 private:
  std::multimap<std::wstring, CBaseElementCtl*> pages_;
};

#endif  // UI_TAB_CTL_H_
