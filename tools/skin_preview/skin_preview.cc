// Renders skinned windows to PNG files for review:
//   skin_preview.exe OUTPUT_FOLDER
// Composes, off-screen and exactly as the window shows them, the main window
// with each of its four panels and the dialog in its two modes, in the
// language of the system (run it under a Chinese locale for the Chinese
// skins and fonts).

#include <windows.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <string>
#include <vector>

#include "app_global.h"
#include "base/message_loop.h"
#include "base/thread_table.h"
#include "ui/button_ctl.h"
#include "ui/check_box_ctl.h"
#include "ui/gdi_resource.h"
#include "ui/layered_edit_ctl.h"
#include "ui/progress_ctl.h"
#include "ui/static_ctl.h"
#include "ui/trans_window.h"

namespace {

const wchar_t* const kPanels[] = {L"id_panel_main", L"id_panel_userdef", L"id_panel_download",
                                  L"id_panel_complete"};

bool SavePng(HBITMAP bitmap, void* bits, const std::wstring& path) {
  BITMAP info = {};
  GetObjectW(bitmap, sizeof(info), &info);
  // The composed picture is premultiplied BGRA, which is what PARGB expects.
  Gdiplus::Bitmap image(info.bmWidth, info.bmHeight, info.bmWidth * 4,
                        PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
  CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool Render(CTransWindow& window, const std::wstring& path) {
  void* bits = nullptr;
  HBITMAP bitmap = window.ComposeBitmap(100, &bits);
  bool ok = bitmap && SavePng(bitmap, bits, path);
  if (bitmap) DeleteObject(bitmap);
  return ok;
}

// Draws the slide-show banner and logo the way the installer's main window
// adds them to its background.
class PreviewMainWindow : public CTransWindow {
 protected:
  void DrawBackground(HDC dc) override {
    CTransWindow::DrawBackground(dc);
    CGDIResource& gdi = CGDIResource::Instance();
    HBITMAP banner = gdi.ImageFromResource(GetModuleHandleW(nullptr), L"APP1");
    gdi.BlitWhole(dc, banner, 6, 6, 480, 240, kBlendAlpha, 255);
    HBITMAP logo = gdi.ImageFromResource(GetModuleHandleW(nullptr), L"APPLOGO");
    gdi.BlitWhole(dc, logo, 16, 14, 93, 51, kBlendAlpha, 255);
  }
};

int RenderAll(const std::wstring& folder) {
  int failures = 0;
  for (bool chinese : {GetSystemDefaultLangID() == 2052}) {
    std::wstring prefix = chinese ? L"UI" : L"ENGUI";
    std::wstring lang = chinese ? L"zh" : L"en";
    PreviewMainWindow main;
    main.set_main_variant(true);
    if (!main.CreateFromSkin(nullptr, (prefix + L"MAINWINDOW").c_str())) return 1;
    SendMessageW(main.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 402));
    for (const wchar_t* panel : kPanels) {
      // The custom panel is taller: the window grows to 492 x 472 for it.
      int height = wcscmp(panel, L"id_panel_userdef") == 0 ? 472 : 402;
      SetWindowPos(main.hwnd(), nullptr, 0, 0, 492, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageW(main.hwnd(), WM_SIZE, 0, MAKELPARAM(492, height));
      for (const wchar_t* other : kPanels)
        if (CBaseElementCtl* e = main.FindElement(other)) e->SetVisible(other == panel);
      if (CBaseElementCtl* e = main.FindElement(L"id_static_tryshutdown")) e->SetVisible(false);
      if (auto* p = static_cast<CProgressCtl*>(main.FindElement(L"id_progress_download")))
        p->SetProgress(0.42);
      if (auto* c = static_cast<CCheckBoxCtl*>(main.FindElement(L"id_checkbox"))) c->SetChecked(true);
      if (auto* c = static_cast<CCheckBoxCtl*>(main.FindElement(L"id_checkbox_shortcut")))
        c->SetChecked(true);
      if (auto* s = static_cast<CStaticCtl*>(main.FindElement(L"id_static_downing_size")))
        s->SetTitle(L"1.25 GB / 2.98 GB");
      if (CBaseElementCtl* e = main.FindElement(L"id_static_patherror")) e->SetVisible(false);
      if (CBaseElementCtl* e = main.FindElement(L"id_edit_installpath"))
        e->SetTitle(L"C:\\Users\\Player\\AppData\\Roaming\\ORVChina");
      std::wstring name = panel;
      name = name.substr(name.rfind(L'_') + 1);
      if (!Render(main, folder + L"\\main_" + name + L"_" + lang + L".png")) ++failures;
    }
    CTransWindow dialog;
    if (!dialog.CreateFromSkin(nullptr, (prefix + L"CANNOTDOWN").c_str())) return 1;
    SendMessageW(dialog.hwnd(), WM_SIZE, 0, MAKELPARAM(382, 232));
    const wchar_t* confirm[] = {L"id_static_tip1", L"id_btn_ok", L"id_btn_cancal"};
    const wchar_t* shortage[] = {L"id_static_tip2", L"id_btn_quit"};
    for (bool confirm_mode : {true, false}) {
      for (const wchar_t* id : confirm)
        if (CBaseElementCtl* e = dialog.FindElement(id)) e->SetVisible(confirm_mode);
      for (const wchar_t* id : shortage)
        if (CBaseElementCtl* e = dialog.FindElement(id)) e->SetVisible(!confirm_mode);
      std::wstring mode = confirm_mode ? L"confirm" : L"shortage";
      if (!Render(dialog, folder + L"\\dialog_" + mode + L"_" + lang + L".png")) ++failures;
    }
  }
  return failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  SetAppInstance(GetModuleHandleW(nullptr));
  base::MessageLoop ui_loop(base::MessageLoop::kLoopUi);
  base::RegisterThreadLoop(base::kThreadUi, &ui_loop);
  CGDIResource::Instance().Initialize(std::wstring());
  int failures = RenderAll(argv[1]);
  CGDIResource::Instance().Shutdown();
  return failures == 0 ? 0 : 1;
}
