// The path field of the main window: a click opens the live edit popup,
// every change of its text reports UM_PATH_CHANGED to the host, closing
// commits the text.

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/ui_test_util.h"
#include "ui/layered_edit_ctl.h"
#include "ui/trans_window.h"
#include "ui/ui_messages.h"

namespace {

TEST(LayeredEditTest, ClickEditTypeAndClose) {
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromSkin(nullptr, L"ENGUIMAINWINDOW"));
  SendMessageW(window.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 472));
  ShowWindow(window.hwnd(), SW_SHOWNORMAL);
  auto* field = static_cast<CLayeredEditCtl*>(window.FindElement(L"id_edit_installpath"));
  ASSERT_NE(nullptr, field);
  EXPECT_TRUE(field->path_check());
  field->SetTitle(L"C:\\Games");
  ui_test::DropPosted(window.hwnd());
  EXPECT_EQ(nullptr, field->EditWindow());

  RECT r = field->GetRect();
  field->OnLButtonDown(WM_LBUTTONDOWN, r.left + 5, r.top + 5);
  HWND edit = field->EditWindow();
  ASSERT_NE(nullptr, edit);
  EXPECT_EQ(L"C:\\Games", field->GetTitle());

  SendMessageW(edit, EM_SETSEL, 8, 8);
  SendMessageW(edit, WM_CHAR, L'x', 1);
  std::vector<MSG> changed = ui_test::TakePosted(window.hwnd(), UM_PATH_CHANGED);
  ASSERT_EQ(1u, changed.size());
  EXPECT_EQ(1u, changed[0].wParam);  // the field checks paths
  EXPECT_EQ(L"C:\\Gamesx", field->GetTitle());

  field->ClosePopup();
  EXPECT_EQ(nullptr, field->EditWindow());
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(L"C:\\Gamesx", field->GetTitle());
  ui_test::DropPosted(window.hwnd());
}

// What a user does to the text besides typing. Each row starts from
// "C:\\Games" with the caret after the first character.
void DeleteKey(HWND edit) {
  SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(edit, WM_KEYUP, VK_DELETE, 0xC0000001);
}
void Paste(HWND edit) {
  ASSERT_TRUE(OpenClipboard(edit));
  EmptyClipboard();
  const wchar_t text[] = L"ab";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
  memcpy(GlobalLock(memory), text, sizeof(text));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
  CloseClipboard();
  SendMessageW(edit, WM_PASTE, 0, 0);
}
void CutOne(HWND edit) {
  SendMessageW(edit, EM_SETSEL, 1, 2);
  SendMessageW(edit, WM_CUT, 0, 0);
}
void DeleteThenUndo(HWND edit) {
  SendMessageW(edit, EM_SETSEL, 1, 2);
  SendMessageW(edit, WM_CLEAR, 0, 0);
  ui_test::DropPosted(GetAncestor(edit, GA_ROOTOWNER));
  SendMessageW(edit, EM_UNDO, 0, 0);
}

TEST(LayeredEditTest, EveryChangeOfTheTextIsReported) {
  const struct {
    const char* what;
    void (*act)(HWND);
    const wchar_t* after;
  } cases[] = {
      {"Delete key", &DeleteKey, L"C\\Games"},
      {"paste", &Paste, L"Cab:\\Games"},
      {"cut", &CutOne, L"C\\Games"},
      {"undo", &DeleteThenUndo, L"C:\\Games"},
  };
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromSkin(nullptr, L"ENGUIMAINWINDOW"));
  SendMessageW(window.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 472));
  ShowWindow(window.hwnd(), SW_SHOWNORMAL);
  auto* field = static_cast<CLayeredEditCtl*>(window.FindElement(L"id_edit_installpath"));
  ASSERT_NE(nullptr, field);
  for (const auto& c : cases) {
    field->ClosePopup();
    field->SetTitle(L"C:\\Games");
    RECT r = field->GetRect();
    field->OnLButtonDown(WM_LBUTTONDOWN, r.left + 5, r.top + 5);
    HWND edit = field->EditWindow();
    ASSERT_NE(nullptr, edit) << c.what;
    SendMessageW(edit, EM_SETSEL, 1, 1);
    // Opening the editor is no change.
    EXPECT_TRUE(ui_test::TakePosted(window.hwnd(), UM_PATH_CHANGED).empty()) << c.what;
    ui_test::DropPosted(window.hwnd());
    c.act(edit);
    EXPECT_EQ(c.after, field->GetTitle()) << c.what;
    EXPECT_FALSE(ui_test::TakePosted(window.hwnd(), UM_PATH_CHANGED).empty())
        << c.what << " left the path check out";
  }
  field->ClosePopup();
  ui_test::DropPosted(window.hwnd());
}

}  // namespace
