// The path field of the main window: a click opens the live edit popup,
// typing reports UM_PATH_CHANGED to the host, closing commits the text.

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

}  // namespace
