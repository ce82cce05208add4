#include "ui_up_date.h"

#include "app_global.h"
#include "ui/gdi_resource.h"

bool CUIUpDate::Create(HWND owner) {
  const wchar_t* skin = Global().lang_id == 0x0804 ? L"UICANNOTDOWN" : L"ENGUICANNOTDOWN";
  if (!CreateFromSkin(owner, skin)) return false;
  // The window text carries the question too, for screen readers.
  CBaseElementCtl* question = FindElement(L"id_static_tip1");
  if (mode_ == kModeConfirm && question) SetWindowTextW(hwnd(), question->GetTitle().c_str());
  return true;
}

void CUIUpDate::SetMessage(const std::wstring& text) {
  if (CBaseElementCtl* tip = FindElement(L"id_static_tip2")) {
    tip->SetTitle(text);
    tip->Redraw(true);
  }
  // The window text carries the message too, for screen readers.
  SetWindowTextW(hwnd(), text.c_str());
}

void CUIUpDate::DrawBackground(HDC dc) {
  CTransWindow::DrawBackground(dc);
  CGDIResource& gdi = CGDIResource::Instance();
  HBITMAP logo = gdi.ImageFromResource(AppInstance() ? AppInstance() : GetModuleHandleW(nullptr),
                                       L"APPLOGO");
  SIZE size = CGDIResource::BitmapSize(logo);
  gdi.BlitWhole(dc, logo, 22, 20, size.cx, size.cy, kBlendAlpha, 255);
}

void CUIUpDate::Answer(int result) {
  modal_result_ = result;
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void CUIUpDate::OnCreated() {
  const struct { const wchar_t* id; int result; } buttons[] = {
      {L"id_btn_close", 0}, {L"id_btn_ok", 1}, {L"id_btn_cancal", 0}, {L"id_btn_quit", 1}};
  for (const auto& button : buttons) {
    if (CBaseElementCtl* element = FindElement(button.id)) {
      EventSlot slot;
      int result = button.result;
      slot.callback = [this, result] {
        Answer(result);
        return 0;
      };
      element->SetOnClick(slot);
    }
  }
  const wchar_t* hidden_confirm[] = {L"id_btn_quit", L"id_static_tip2"};
  const wchar_t* hidden_message[] = {L"id_btn_ok", L"id_btn_cancal", L"id_static_tip1",
                                     L"id_btn_close"};
  if (mode_ == kModeConfirm) {
    for (const wchar_t* id : hidden_confirm)
      if (CBaseElementCtl* element = FindElement(id)) element->SetVisible(false);

  } else if (mode_ == kModeMessage) {
    for (const wchar_t* id : hidden_message)
      if (CBaseElementCtl* element = FindElement(id)) element->SetVisible(false);
  }
}

void CUIUpDate::OnClosed() {
  DestroyWindowNow();
  EndModal(modal_result_);
}
