// Where a centred window goes, from its size, its owner's rectangle and
// state, and the work area.

#include "ui/window_placement.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacementTest, CentredOnAVisibleOwnerElseOnTheWorkAreaAndAlwaysInside) {
  const RECT work = {0, 0, 1280, 984};  // a taskbar below
  const SIZE dialog = {382, 232};
  const struct {
    const char* what;
    bool owner_usable;
    RECT owner;
    POINT expected;
  } cases[] = {
      {"on the owner", true, {100, 100, 592, 502}, {155, 185}},
      {"no owner", false, {}, {449, 376}},
      // A minimised owner sits at -32000, -32000.
      {"minimised owner", false, {-32000, -32000, -31840, -31969}, {449, 376}},
      {"owner half off to the left", true, {-400, 300, 92, 702}, {0, 385}},
      {"owner half off to the right", true, {1100, 300, 1592, 702}, {898, 385}},
      {"owner below the work area", true, {400, 900, 892, 1302}, {455, 752}},
      {"owner above the screen", true, {400, -350, 892, 52}, {455, 0}},
  };
  for (const auto& c : cases) {
    POINT at = CentredPosition(dialog, c.owner_usable, c.owner, work);
    EXPECT_EQ(c.expected.x, at.x) << c.what;
    EXPECT_EQ(c.expected.y, at.y) << c.what;
  }
}

TEST(WindowPlacementTest, AWindowLargerThanTheWorkAreaKeepsItsTopLeftInside) {
  const RECT work = {1280, 0, 2560, 1024};  // a second monitor
  POINT at = CentredPosition(SIZE{1400, 1100}, false, RECT{}, work);
  EXPECT_EQ(1280, at.x);
  EXPECT_EQ(0, at.y);
}

}  // namespace
