#include "ui/tab_ctl.h"

#include "ui/element_factory.h"

CTabCtl::CTabCtl(HWND host, bool layered, CTabListCtl* list)
    : CButtonCtl(host, layered), list_(list) {
  type_tag_.clear();
}

void CTabCtl::OnLButtonUp(UINT, int, int) {
  if (state_ == kStateDisabled) return;
  if (pressed_ && state_ == kStatePressed) {
    PostClick();
    if (list_) list_->SelectTab(id_);
  }
}

void CTabCtl::OnMouseHover(UINT, int, int) {
  if (state_ == kStateDisabled) return;
  SetState(pressed_ ? kStatePressed : kStateHover);
}

void CTabCtl::OnMouseLeave() {
  if (state_ == kStateDisabled) return;
  SetState(pressed_ ? kStatePressed : kStateNormal);
}

void CTabCtl::Redraw(bool redraw) {
  if (!host_ || !redraw) return;
  RECT rect = GetRect();
  rect.top -= 2;
  rect.bottom += 2;
  InvalidateRect(host_, &rect, TRUE);
}

void CTabCtl::SetSelected(bool selected) {
  selected_ = selected;
  pressed_ = selected;
  if (state_ != kStateDisabled) SetState(selected ? kStatePressed : kStateNormal);
}

void CTabCtl::SetBadge(bool badge) {
  badge_ = badge;
  Redraw(true);
}

CTabListCtl::CTabListCtl(HWND host, bool layered) : CPanelCtl(host, layered) {
  type_tag_.clear();
}

void CTabListCtl::LoadAttributes(TiXmlElement* node) {
  LoadCommonAttributes(node);
  CreateElements(node, kCreatorTabList, host_, layered_, this);
}

void CTabListCtl::Draw(HDC dc) {
  if (visible_) children_.Draw(dc);
}

void CTabListCtl::AddPage(const std::wstring& tab_id, CBaseElementCtl* page) {
  pages_.emplace(tab_id, page);
}

void CTabListCtl::SelectTab(const std::wstring& tab_id) {
  for (const auto& child : children_.elements())
    static_cast<CTabCtl*>(child.get())->SetSelected(child->GetId() == tab_id);
  for (const auto& page : pages_) page.second->SetVisible(page.first == tab_id);
}

void CTabListCtl::ClearSelection() {
  for (const auto& child : children_.elements())
    static_cast<CTabCtl*>(child.get())->SetSelected(false);
  for (const auto& page : pages_) page.second->SetVisible(false);
}
