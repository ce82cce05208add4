#include "ui/element_list.h"

#include <algorithm>

#include "ui/ui_messages.h"

namespace {

const wchar_t kPanelTag[] = L"Panel";
const wchar_t kButtonTag[] = L"DirectButton";

}  // namespace

void ElementList::Add(std::unique_ptr<CBaseElementCtl> element) {
  elements_.push_back(std::move(element));
}

void ElementList::RemoveById(const std::wstring& id) {
  if (hovered_ && hovered_->GetId() == id) hovered_ = nullptr;
  elements_.erase(std::remove_if(elements_.begin(), elements_.end(),
                                 [&](const std::unique_ptr<CBaseElementCtl>& e) {
                                   return e->GetId() == id;
                                 }),
                  elements_.end());
}

void ElementList::DestroyAll() {
  hovered_ = nullptr;
  elements_.clear();
}

CBaseElementCtl* ElementList::FindById(const std::wstring& id) const {
  for (const auto& element : elements_) {
    if (element->GetTypeTag() == kPanelTag && element->Children()) {
      if (CBaseElementCtl* found = element->Children()->FindById(id)) return found;
    }
    if (element->GetId() == id) return element.get();
  }
  return nullptr;
}

void ElementList::Draw(HDC dc) {
  for (const auto& element : elements_)
    if (element->IsVisible()) element->Draw(dc);
}

bool ElementList::HitTest(int x, int y) const {
  for (const auto& element : elements_)
    if (element->HitTest(x, y)) return true;
  return false;
}

void ElementList::Send(UINT message, WPARAM wparam, LPARAM lparam) {
  if (host_) SendMessageW(host_, message, wparam, lparam);
}

void ElementList::MouseMove(UINT message, int x, int y) {
  CBaseElementCtl* previous = hovered_;
  CBaseElementCtl* now = nullptr;
  CBaseElementCtl* left = nullptr;
  for (const auto& element : elements_) {
    if (!element->IsVisible() || !element->IsEnabled()) continue;
    if (element->HitTest(x, y)) now = element.get();
    else if (element.get() == previous) left = previous;
  }
  if (now && now != previous) left = previous;
  if (left) {
    left->OnMouseLeave();
    Send(UM_TOOLTIP, 0, 0);
    Send(UM_SETCURSOR, reinterpret_cast<WPARAM>(left->GetCursor()), 0);
  }
  if (now) {
    if (now->GetTypeTag() == kPanelTag) {
      now->OnMouseHover(message, x, y);
    } else {
      now->OnMouseHover(message, x, y);
      if (now != previous) {
        Send(UM_TOOLTIP, 1, reinterpret_cast<LPARAM>(now->GetTip().c_str()));
        Send(UM_SETCURSOR, reinterpret_cast<WPARAM>(now->GetCursor()), 0);
      }
    }
  }
  hovered_ = now;
}

void ElementList::LButtonDown(UINT message, int x, int y) {
  for (const auto& element : elements_)
    if (element->HitTest(x, y)) element->OnLButtonDown(message, x, y);
}

void ElementList::LButtonUp(UINT message, int x, int y) {
  for (const auto& element : elements_) {
    if (!element->HitTest(x, y)) continue;
    element->OnLButtonUp(message, x, y);
    if (element->GetTypeTag() == kButtonTag) break;
  }
}

void ElementList::RButtonUp(UINT message, int x, int y) {
  for (const auto& element : elements_)
    if (element->HitTest(x, y)) element->OnRButtonUp(message, x, y);
}

void ElementList::Wheel(UINT keys, int delta, int x, int y) {
  for (const auto& element : elements_)
    if (element->HitTest(x, y)) element->OnWheel(keys, delta, x, y);
}

void ElementList::KeyDown(UINT vk) {
  for (const auto& element : elements_) element->OnKeyDown(vk);
}

void ElementList::KeyUp(UINT vk) {
  for (const auto& element : elements_) element->OnKeyUp(vk);
}

void ElementList::HostMoved() {
  for (const auto& element : elements_)
    if (element->IsVisible() && element->IsEnabled()) element->OnHostMoved();
}

void ElementList::Tick() {
  for (const auto& element : elements_)
    if (element->IsVisible() && element->GetTickFlag()) element->OnTick();
}

void ElementList::Focus(CBaseElementCtl* focused) {
  for (const auto& element : elements_) element->FocusElement(focused);
}

void ElementList::HostMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  for (const auto& element : elements_) element->OnHostMessage(message, wparam, lparam, handled);
}

void ElementList::Relayout(int old_width, int old_height, int new_width, int new_height) {
  for (const auto& element : elements_)
    element->Relayout(old_width, old_height, new_width, new_height);
}
