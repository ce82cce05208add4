// The button's state machine, the check box and radio button built on it,
// and the progress bar's percentage text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/ui_test_util.h"
#include "ui/button_ctl.h"
#include "ui/check_box_ctl.h"
#include "ui/progress_ctl.h"
#include "ui/ui_messages.h"

namespace {

using ui_test::TakePosted;

// Clicks posted to |host| for |element|.
int ClicksFor(HWND host, const CBaseElementCtl* element, UINT message = UM_ELEMENT_CLICK) {
  int count = 0;
  for (const MSG& msg : TakePosted(host, message))
    if (msg.wParam == reinterpret_cast<WPARAM>(element)) ++count;
  return count;
}

// Events: D down, U up, L leave, H hover, X Enable(false), E Enable(true).
void Play(CButtonCtl* button, const char* events) {
  for (const char* e = events; *e; ++e) {
    switch (*e) {
      case 'D': button->OnLButtonDown(WM_LBUTTONDOWN, 5, 5); break;
      case 'U': button->OnLButtonUp(WM_LBUTTONUP, 5, 5); break;
      case 'L': button->OnMouseLeave(); break;
      case 'H': button->OnMouseHover(WM_MOUSEMOVE, 5, 5); break;
      case 'X': button->Enable(false); break;
      case 'E': button->Enable(true); break;
      default: FAIL() << "unknown event " << *e;
    }
  }
}

TEST(ButtonTest, StateMachine) {
  struct Case {
    const char* events;
    int state;
    bool pressed;
    int presses, clicks;
  } cases[] = {
      {"", kStateNormal, false, 0, 0},
      {"H", kStateHover, false, 0, 0},
      {"D", kStatePressed, true, 1, 0},
      {"DU", kStateHover, false, 1, 1},
      {"HDU", kStateHover, false, 1, 1},
      {"HDHU", kStateHover, false, 1, 1},   // moving while held keeps it pressed
      {"DLHU", kStateHover, false, 1, 0},   // dragged out and back: no click
      {"DL", kStateNormal, false, 1, 0},
      {"U", kStateHover, false, 0, 0},      // a release without a press
      {"DUU", kStateHover, false, 1, 1},
      {"X", kStateDisabled, false, 0, 0},
      {"XHDUL", kStateDisabled, false, 0, 0},
      {"XE", kStateNormal, false, 0, 0},
      {"XEDU", kStateHover, false, 1, 1},
  };
  ui_test::RecordingHost host;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("events \"") + c.events + "\"");
    CButtonCtl button(host.hwnd(), false);
    button.SetPos(0, 0, 10, 10);
    int presses = 0;
    EventSlot press;
    press.callback = [&presses] { return ++presses; };
    button.SetOnPress(press);
    Play(&button, c.events);
    EXPECT_EQ(c.state, button.state());
    EXPECT_EQ(c.pressed, button.pressed());
    EXPECT_EQ(c.presses, presses);  // fired inside OnLButtonDown, not posted
    EXPECT_EQ(c.clicks, ClicksFor(host.hwnd(), &button));
    ui_test::DropPosted(host.hwnd());
  }
}

TEST(ButtonTest, ClickCallbackGetsTheIdWhenItHasNoPlainCallback) {
  CButtonCtl button(nullptr, false);
  button.SetId(L"id_install");
  std::wstring got;
  EventSlot click;
  click.id_callback = [&got](const std::wstring& id) { got = id; };
  button.SetOnClick(click);
  EXPECT_EQ(0, button.FireClick());
  EXPECT_EQ(L"id_install", got);

  EventSlot none;
  button.SetOnClick(none);
  EXPECT_EQ(-1, button.FireClick());
}

TEST(CheckBoxTest, TogglesOnButtonDownAndClicksOnButtonUp) {
  ui_test::RecordingHost host;
  CCheckBoxCtl box(host.hwnd(), false);
  box.SetPos(0, 0, 50, 20);
  struct Step {
    char event;
    bool checked;
    int checked_posts, clicks;
  } steps[] = {
      {'D', true, 1, 0},
      {'U', true, 0, 1},
      {'L', true, 0, 0},
      {'D', false, 1, 0},
      {'U', false, 0, 1},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(1, s.event) + " to " + (s.checked ? "checked" : "unchecked"));
    if (s.event == 'D') box.OnLButtonDown(WM_LBUTTONDOWN, 5, 5);
    if (s.event == 'U') box.OnLButtonUp(WM_LBUTTONUP, 5, 5);
    if (s.event == 'L') box.OnMouseLeave();
    EXPECT_EQ(s.checked, box.IsChecked());
    EXPECT_EQ(s.checked_posts, ClicksFor(host.hwnd(), &box, UM_ELEMENT_CHECKED));
    EXPECT_EQ(s.clicks, ClicksFor(host.hwnd(), &box));
  }
  // A check box is not a plain button: it never stops a button-up.
  EXPECT_NE(L"DirectButton", box.GetTypeTag());
}

TEST(CheckBoxTest, SetCheckedIsSilent) {
  ui_test::RecordingHost host;
  CCheckBoxCtl box(host.hwnd(), true);  // layered: a redraw would be posted
  box.SetPos(0, 0, 50, 20);
  ui_test::DropPosted(host.hwnd());
  for (bool checked : {true, false, true}) {
    box.SetChecked(checked);
    EXPECT_EQ(checked, box.IsChecked());
  }
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, host.hwnd(), WM_USER, 0xBFFF, PM_NOREMOVE))
      << "posted message " << std::hex << msg.message;
  // Disabled, a check box ignores the pointer.
  box.Enable(false);
  box.OnLButtonDown(WM_LBUTTONDOWN, 5, 5);
  box.OnLButtonUp(WM_LBUTTONUP, 5, 5);
  EXPECT_TRUE(box.IsChecked());
  EXPECT_EQ(0, ClicksFor(host.hwnd(), &box, UM_ELEMENT_CHECKED));
  EXPECT_EQ(0, ClicksFor(host.hwnd(), &box));
}

TEST(RadioButtonTest, SelectsOnceAndNeverUnselectsByClick) {
  ui_test::RecordingHost host;
  ui_test::Log().clear();
  CRadioButtonCtl radio(host.hwnd(), false);
  radio.SetPos(0, 0, 50, 20);
  radio.OnLButtonDown(WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(radio.IsChecked());
  radio.OnLButtonDown(WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(radio.IsChecked());
  EXPECT_EQ((std::vector<std::wstring>{L"radio"}), ui_test::Log());
  ui_test::Log().clear();
}

TEST(ProgressTest, PercentText) {
  struct Case {
    double fraction;
    const wchar_t* text;
  } cases[] = {
      {0.0, L"0.0%"}, {0.5, L"50.0%"}, {1.0, L"100.0%"}, {0.4567, L"45.7%"}, {0.001, L"0.1%"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::wstring(c.text), CProgressCtl::PercentText(c.fraction)) << c.fraction;
}

}  // namespace
