// The window host under its own messages: a frame held back by the pacing
// is drawn in every window, the dialog included; clicks during the opening
// animation reach no element; showing the running instance composes it.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/ui/ui_test_util.h"
#include "ui/check_box_ctl.h"
#include "ui/trans_window.h"
#include "ui/ui_messages.h"
#include "ui/utility_window.h"

namespace {

// Dispatches this thread's messages until |done| or |bound_ms| passed.
bool PumpUntil(const std::function<bool()>& done, DWORD bound_ms = 10000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > bound_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

class CountingWindow : public CTransWindow {
 public:
  int frames = 0;

 protected:
  void DrawBackground(HDC dc) override {
    ++frames;
    CTransWindow::DrawBackground(dc);
  }
};

TEST(FramePacingTest, AHeldFrameIsDrawnInTheMainWindowAndInTheDialog) {
  const struct {
    const wchar_t* skin;
    bool main;
  } cases[] = {{L"ENGUIMAINWINDOW", true}, {L"ENGUICANNOTDOWN", false}};
  for (const auto& c : cases) {
    CountingWindow window;
    window.set_main_variant(c.main);
    ASSERT_TRUE(window.CreateFromSkin(nullptr, c.skin)) << c.skin;
    ShowWindow(window.hwnd(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return window.frames > 0 && !window.frame_held(); }))
        << c.skin << ": no first frame";
    // Requests in quick succession: all but the first wait for the timer.
    for (int i = 0; i < 100 && !window.frame_held(); ++i)
      SendMessageW(window.hwnd(), UM_LAYERED_REDRAW, 0, 100);
    ASSERT_TRUE(window.frame_held()) << c.skin << ": no request was held back";
    int drawn = window.frames;
    EXPECT_TRUE(PumpUntil([&] { return window.frames > drawn && !window.frame_held(); }))
        << c.skin << ": the held frame was never drawn (" << window.frames << " frames)";
    // And later requests are drawn again.
    drawn = window.frames;
    EXPECT_TRUE(PumpUntil([&] {
      if (window.frames == drawn) PostMessageW(window.hwnd(), UM_LAYERED_REDRAW, 0, 100);
      return window.frames > drawn;
    })) << c.skin;
    ui_test::DropPosted(window.hwnd());
  }
}

constexpr wchar_t kCheckBoxSkin[] =
    L"<window left=\"100\" top=\"100\" width=\"300\" height=\"200\" titleHeight=\"20\">"
    L"<checkbox id=\"box\" left=\"50\" top=\"100\" width=\"100\" height=\"20\" title=\"Agree\"/>"
    L"</window>";

TEST(OpeningAnimationTest, ClicksDuringItReachNoElement) {
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromText(nullptr, kCheckBoxSkin));
  auto* box = static_cast<CCheckBoxCtl*>(window.FindElement(L"box"));
  ASSERT_NE(nullptr, box);
  box->SetChecked(true);
  window.ShowAnimated(SW_SHOWNORMAL);
  ASSERT_TRUE(window.animating()) << "no animation on this display";
  LPARAM point = MAKELPARAM(60, 110);
  SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, point);
  EXPECT_TRUE(box->IsChecked()) << "a click during the animation toggled the box";

  ASSERT_TRUE(PumpUntil([&] { return !window.animating(); })) << "the animation never ended";
  // The same click afterwards does reach it.
  SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, point);
  EXPECT_FALSE(box->IsChecked());
  ui_test::DropPosted(window.hwnd());
}

TEST(ShowExistingTest, RestoresAndComposesTheWindow) {
  CTransWindow window;
  window.set_main_variant(true);
  ASSERT_TRUE(window.CreateFromSkin(nullptr, L"ENGUIMAINWINDOW"));
  ShowWindow(window.hwnd(), SW_SHOWNORMAL);
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(window.hwnd()) != FALSE; }));
  ui_test::DropPosted(window.hwnd());

  ShowExistingWindow(window.hwnd());
  EXPECT_FALSE(IsIconic(window.hwnd()));
  std::vector<MSG> redraws = ui_test::TakePosted(window.hwnd(), UM_LAYERED_REDRAW);
  ASSERT_FALSE(redraws.empty()) << "no composition was asked for";
  EXPECT_EQ(100, redraws.back().lParam);
  ui_test::DropPosted(window.hwnd());
}

}  // namespace
