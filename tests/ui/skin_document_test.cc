// The carried skin documents and the element trees and geometry built from
// them, and how the tree follows the window's size.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "ui/trans_window.h"
#include "ui/xml_helper.h"

namespace {

const wchar_t* const kDocuments[] = {
    L"UIMAINWINDOW", L"ENGUIMAINWINDOW", L"UICANNOTDOWN", L"ENGUICANNOTDOWN",
    L"UIAGREEMENT",  L"ENGUIAGREEMENT",  L"UICONTENT",    L"ENGUICONTENT",
};

// The skins' windows are hidden pop-ups (style 0x86000000).
constexpr wchar_t kPopupStyle[] = L"style=\"2248146944\"";

void CollectIds(TiXmlElement* node, std::set<std::wstring>* ids) {
  for (TiXmlElement* child : CXmlHelper::Children(node)) {
    std::wstring id = CXmlHelper::Attribute(child, "id");
    if (!id.empty()) ids->insert(id);
    CollectIds(child, ids);
  }
}

std::set<std::wstring> DocumentIds(const wchar_t* name) {
  CXmlHelper xml;
  std::set<std::wstring> ids;
  if (xml.LoadFromResource(GetModuleHandleW(nullptr), name, L"xml")) CollectIds(xml.Root(), &ids);
  return ids;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

::testing::AssertionResult HasRect(CTransWindow& window, const wchar_t* id, RECT expected) {
  CBaseElementCtl* element = window.FindElement(id);
  if (!element) return ::testing::AssertionFailure() << Narrow(id) << " is missing";
  RECT r = element->GetRect();
  if (r.left == expected.left && r.top == expected.top && r.right == expected.right &&
      r.bottom == expected.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << Narrow(id) << " is at " << r.left << "," << r.top << ".." << r.right << ","
         << r.bottom << ", expected " << expected.left << "," << expected.top << ".."
         << expected.right << "," << expected.bottom;
}

RECT At(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

TEST(SkinDocumentTest, EveryCarriedDocumentLoadsWithRootWindow) {
  for (const wchar_t* name : kDocuments) {
    CXmlHelper xml;
    ASSERT_TRUE(xml.LoadFromResource(GetModuleHandleW(nullptr), name, L"xml")) << Narrow(name);
    ASSERT_NE(nullptr, xml.Root()) << Narrow(name);
    EXPECT_EQ(L"window", CXmlHelper::Tag(xml.Root())) << Narrow(name);
  }
  CXmlHelper missing;
  EXPECT_FALSE(missing.LoadFromResource(GetModuleHandleW(nullptr), L"NOSUCHSKIN", L"xml"));
}

class MainWindowDocumentTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(MainWindowDocumentTest, CreatesEveryElementOfTheDocumentAtItsDesignPlace) {
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromSkin(nullptr, GetParam()));
  SendMessageW(window.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 402));

  std::set<std::wstring> ids = DocumentIds(GetParam());
  ASSERT_FALSE(ids.empty());
  for (const std::wstring& id : ids) {
    CBaseElementCtl* element = window.FindElement(id);
    ASSERT_NE(nullptr, element) << Narrow(id);
    EXPECT_EQ(id, element->GetId());
  }

  // Children are placed relative to their panel (6,246); id_close and
  // id_btn_min are right-aligned: left is the distance from the right edge.
  struct Case {
    const wchar_t* id;
    RECT rect;
  } cases[] = {
      {L"id_close", At(492 - 33, 21, 11, 12)},
      {L"id_btn_min", At(492 - 76, 21, 11, 12)},
      {L"id_panel_main", At(6, 246, 480, 150)},
      {L"id_install", At(6 + 180, 246 + 28, 120, 42)},
      {L"id_panel_userdef", At(6, 246, 480, 220)},
      {L"id_edit_installpath", At(6 + 91, 246 + 27, 268, 30)},
      {L"id_panel_download", At(6, 246, 480, 150)},
      {L"id_progress_download", At(6 + 20, 246 + 84, 442, 2)},
      {L"id_panel_complete", At(6, 246, 480, 150)},
      {L"id_btn_usenow", At(6 + 112, 246 + 92, 120, 37)},
      {L"id_btn_complete", At(6 + 253, 246 + 92, 120, 37)},
  };
  for (const Case& c : cases) EXPECT_TRUE(HasRect(window, c.id, c.rect));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MainWindowDocumentTest,
                         ::testing::Values(L"UIMAINWINDOW", L"ENGUIMAINWINDOW"));

TEST(SkinDocumentTest, DownloadSizeTextExistsOnlyInTheChineseMainWindow) {
  struct Case {
    const wchar_t* skin;
    bool has_size_text;
  } cases[] = {{L"UIMAINWINDOW", true}, {L"ENGUIMAINWINDOW", false}};
  for (const Case& c : cases) {
    CTransWindow window;
    window.set_main_variant(true);
    ASSERT_TRUE(window.CreateFromSkin(nullptr, c.skin));
    EXPECT_EQ(c.has_size_text, window.FindElement(L"id_static_downing_size") != nullptr)
        << Narrow(c.skin);
  }
}

TEST(SkinDocumentTest, DialogElementsInBothLanguages) {
  for (const wchar_t* skin : {L"UICANNOTDOWN", L"ENGUICANNOTDOWN"}) {
    SCOPED_TRACE(Narrow(skin));
    CTransWindow dialog;
    ASSERT_TRUE(dialog.CreateFromSkin(nullptr, skin));
    SendMessageW(dialog.hwnd(), WM_SIZE, 0, MAKELPARAM(382, 232));
    EXPECT_TRUE(HasRect(dialog, L"id_btn_close", At(382 - 33, 21, 11, 12)));
    EXPECT_TRUE(HasRect(dialog, L"id_btn_ok", At(98, 162, 84, 28)));
    EXPECT_TRUE(HasRect(dialog, L"id_btn_cancal", At(201, 162, 84, 28)));
    EXPECT_TRUE(HasRect(dialog, L"id_btn_quit", At(151, 162, 84, 28)));
    EXPECT_NE(nullptr, dialog.FindElement(L"id_static_tip1"));
    EXPECT_NE(nullptr, dialog.FindElement(L"id_static_tip2"));
  }
}

TEST(SkinDocumentTest, RadioButtonOutsideAPanelIsSkippedWithItsChildren) {
  std::wstring xml = std::wstring(L"<window ") + kPopupStyle +
                     L" width=\"200\" height=\"100\">"
                     L"<radiobutton id=\"radio\" left=\"1\" top=\"1\" width=\"10\" height=\"10\">"
                     L"<button id=\"inside_radio\" left=\"1\" top=\"1\" width=\"5\" height=\"5\"/>"
                     L"</radiobutton>"
                     L"<panel id=\"panel\" left=\"0\" top=\"50\" width=\"200\" height=\"50\">"
                     L"<radiobutton id=\"radio_in_panel\" left=\"1\" top=\"1\" width=\"10\" height=\"10\"/>"
                     L"</panel>"
                     L"<button id=\"after\" left=\"20\" top=\"1\" width=\"10\" height=\"10\"/>"
                     L"</window>";
  CTransWindow window;
  ASSERT_TRUE(window.CreateFromText(nullptr, xml));
  EXPECT_EQ(nullptr, window.FindElement(L"radio"));
  EXPECT_EQ(nullptr, window.FindElement(L"inside_radio"));
  EXPECT_NE(nullptr, window.FindElement(L"radio_in_panel"));
  EXPECT_NE(nullptr, window.FindElement(L"after"));
  EXPECT_EQ(2u, window.elements().elements().size());
}

TEST(SkinDocumentTest, CreateFromTextFailsWithoutAWindowRoot) {
  const std::wstring bad[] = {
      std::wstring(L"<dialog ") + kPopupStyle + L" width=\"200\" height=\"100\"/>",
      L"<window width=\"200\"",  // not well-formed
      L"",
  };
  for (const std::wstring& xml : bad) {
    CTransWindow window;
    EXPECT_FALSE(window.CreateFromText(nullptr, xml)) << Narrow(xml);
    EXPECT_FALSE(window.IsWindow()) << Narrow(xml);
  }
}

TEST(SkinLayoutTest, RightAlignedElementMovesOnTheFirstSize) {
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromSkin(nullptr, L"ENGUIMAINWINDOW"));
  CBaseElementCtl* close = window.FindElement(L"id_close");
  ASSERT_NE(nullptr, close);
  EXPECT_EQ(33, close->GetDesignRect().left);
  SendMessageW(window.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 402));
  EXPECT_EQ(459, close->GetRect().left);
  EXPECT_EQ(11, close->width());
  // A second size of the same width must not move it again.
  SendMessageW(window.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 402));
  EXPECT_EQ(459, close->GetRect().left);
}

TEST(SkinLayoutTest, FillPanelFollowsTheWindowWidthBothWays) {
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromSkin(nullptr, L"ENGUIMAINWINDOW"));
  SendMessageW(window.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 402));

  // (window width) -> panel width, right-aligned id_close, left-aligned
  // child, right-aligned child of the custom panel (102 from its right).
  struct Step {
    int width;
    int panel_width, close_x, install_x, path_button_x;
  } steps[] = {
      {600, 588, 600 - 33, 186, 6 + 588 - 102},
      {492, 480, 492 - 33, 186, 6 + 480 - 102},
      {600, 588, 600 - 33, 186, 6 + 588 - 102},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.width);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, s.width, 402,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window.hwnd(), &client);
    ASSERT_EQ(s.width, client.right);
    EXPECT_EQ(s.panel_width, window.FindElement(L"id_panel_main")->width());
    EXPECT_EQ(s.panel_width, window.FindElement(L"id_panel_userdef")->width());
    EXPECT_EQ(s.close_x, window.FindElement(L"id_close")->GetRect().left);
    EXPECT_EQ(s.install_x, window.FindElement(L"id_install")->GetRect().left);
    EXPECT_EQ(s.path_button_x, window.FindElement(L"id_btn_installdir")->GetRect().left);
  }
}

TEST(SkinLayoutTest, WindowHitTestSeparatesElementsFromTheTitleStrip) {
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromSkin(nullptr, L"ENGUIMAINWINDOW"));
  SendMessageW(window.hwnd(), WM_SIZE, 0, MAKELPARAM(492, 402));
  RECT w;
  GetWindowRect(window.hwnd(), &w);
  struct Case {
    int x, y;  // window coordinates
    LRESULT expected;
  } cases[] = {
      {246, 295, HTCLIENT},   // id_install
      {464, 27, HTCLIENT},    // id_close
      {100, 120, HTCAPTION},  // the picture strip (titleHeight 246) drags
      {100, 2, HTCLIENT},     // the top 4 pixels do not
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, SendMessageW(window.hwnd(), WM_NCHITTEST, 0,
                                       MAKELPARAM(w.left + c.x, w.top + c.y)))
        << c.x << "," << c.y;
}

}  // namespace
