// Pointer and key dispatch of an element list: edges, which elements a
// button-down and a button-up reach, the order of leave/hover, tooltip and
// cursor messages, and hidden elements.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/ui_test_util.h"
#include "ui/button_ctl.h"
#include "ui/element_list.h"
#include "ui/hyperlink_ctl.h"

namespace {

using ui_test::Log;

// Writes its input calls to the shared log as "<name> <call>".
template <class Base>
class Recording : public Base {
 public:
  Recording(HWND host, const std::wstring& name, int x, int width)
      : Base(host, false), name_(name) {
    this->SetId(name);
    this->SetPos(x, 0, width, 10);
  }
  void OnLButtonDown(UINT message, int x, int y) override {
    Log().push_back(name_ + L" down");
    Base::OnLButtonDown(message, x, y);
  }
  void OnLButtonUp(UINT message, int x, int y) override {
    Log().push_back(name_ + L" up");
    Base::OnLButtonUp(message, x, y);
  }
  void OnMouseHover(UINT message, int x, int y) override {
    Log().push_back(name_ + L" hover");
    Base::OnMouseHover(message, x, y);
  }
  void OnMouseLeave() override {
    Log().push_back(name_ + L" leave");
    Base::OnMouseLeave();
  }
  void OnKeyDown(UINT vk) override {
    Log().push_back(name_ + L" key " + std::to_wstring(vk));
    Base::OnKeyDown(vk);
  }

 private:
  std::wstring name_;
};

using RecordingElement = Recording<CBaseElementCtl>;
using RecordingButton = Recording<CButtonCtl>;
using RecordingLink = Recording<CHyperLinkCtl>;

class ElementInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, host_.hwnd());
    list_.SetHostWindow(host_.hwnd());
    Log().clear();
  }
  void TearDown() override { Log().clear(); }

  template <class T>
  T* Add(const std::wstring& name, int x, int width) {
    auto element = std::make_unique<T>(host_.hwnd(), name, x, width);
    T* raw = element.get();
    list_.Add(std::move(element));
    return raw;
  }

  std::vector<std::wstring> TakeLog() {
    std::vector<std::wstring> log;
    log.swap(Log());
    return log;
  }

  ui_test::RecordingHost host_;
  ElementList list_;
};

TEST_F(ElementInputTest, EdgesAreInclusive) {
  RecordingElement* e = Add<RecordingElement>(L"e", 0, 10);
  struct Case {
    int x, y;
    bool hit;
  } cases[] = {
      {0, 0, true}, {10, 10, true}, {5, 5, true}, {11, 5, false},
      {-1, 5, false}, {5, 11, false}, {5, -1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.hit, e->HitTest(c.x, c.y)) << c.x << "," << c.y;
    EXPECT_EQ(c.hit, CBaseElementCtl::PointInRect(c.x, c.y, 0, 0, 10, 10)) << c.x << "," << c.y;
    EXPECT_EQ(c.hit, list_.HitTest(c.x, c.y)) << c.x << "," << c.y;
  }
  e->SetEnabled(false);
  EXPECT_FALSE(e->HitTest(5, 5));
  e->SetEnabled(true);
  e->SetVisible(false);
  EXPECT_FALSE(e->HitTest(5, 5));
}

TEST_F(ElementInputTest, ButtonDownReachesAllCoveredButtonUpStopsAtTheFirstButton) {
  // Three overlapping elements; a check box has no button tag and does not
  // stop the button-up.
  Add<RecordingElement>(L"plain", 0, 20);
  Add<RecordingButton>(L"button", 5, 20);
  Add<RecordingElement>(L"above", 0, 30);
  list_.LButtonDown(WM_LBUTTONDOWN, 10, 5);
  list_.LButtonUp(WM_LBUTTONUP, 10, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"plain down", L"button down", L"above down",
                                       L"plain up", L"button up"}),
            TakeLog());

  // Outside the button every covering element gets the button-up.
  list_.LButtonUp(WM_LBUTTONUP, 28, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"above up"}), TakeLog());
}

TEST_F(ElementInputTest, ALinkIsNoButtonAndLetsTheButtonUpGoOn) {
  Add<RecordingLink>(L"link", 0, 20);
  Add<RecordingElement>(L"under", 0, 20);
  list_.LButtonUp(WM_LBUTTONUP, 10, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"link up", L"under up"}), TakeLog());
}

TEST_F(ElementInputTest, MovingFromOneElementOntoAnotherOrdersLeaveBeforeHover) {
  RecordingElement* a = Add<RecordingElement>(L"A", 0, 10);
  RecordingElement* b = Add<RecordingElement>(L"B", 20, 10);
  a->SetCursor(LoadCursorW(nullptr, IDC_HAND));
  a->SetTip(L"tip of A");
  b->SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
  b->SetTip(L"tip of B");

  list_.MouseMove(WM_MOUSEMOVE, 5, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"A hover", L"tooltip 1 tip of A", L"cursor hand"}),
            TakeLog());
  // Moving within A: hover again, no new tip or cursor.
  list_.MouseMove(WM_MOUSEMOVE, 6, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"A hover"}), TakeLog());

  list_.MouseMove(WM_MOUSEMOVE, 25, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"A leave", L"tooltip 0", L"cursor hand", L"B hover",
                                       L"tooltip 1 tip of B", L"cursor ibeam"}),
            TakeLog());
  EXPECT_EQ(b, list_.hovered());

  // Off every element: B leaves.
  list_.MouseMove(WM_MOUSEMOVE, 50, 5);
  EXPECT_EQ((std::vector<std::wstring>{L"B leave", L"tooltip 0", L"cursor ibeam"}), TakeLog());
  EXPECT_EQ(nullptr, list_.hovered());
}

TEST_F(ElementInputTest, HiddenElementsGetKeysButNoPointerInput) {
  RecordingElement* hidden = Add<RecordingElement>(L"hidden", 0, 10);
  hidden->SetVisible(false);
  list_.MouseMove(WM_MOUSEMOVE, 5, 5);
  list_.LButtonDown(WM_LBUTTONDOWN, 5, 5);
  list_.LButtonUp(WM_LBUTTONUP, 5, 5);
  list_.KeyDown(VK_RETURN);
  EXPECT_EQ((std::vector<std::wstring>{L"hidden key " + std::to_wstring(VK_RETURN)}), TakeLog());
  EXPECT_FALSE(list_.HitTest(5, 5));
}

}  // namespace
