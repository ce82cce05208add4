// Foreground changes between real top-level windows (under Xvfb in ctest).
// The cross-thread path (AttachThreadInput) is left untested: Wine without a
// window manager does not hand the foreground across threads.

#include "sys/shell_util.h"

#include <gtest/gtest.h>

namespace {

HWND MakeWindow(const wchar_t* title) {
  HWND window = CreateWindowExW(0, L"STATIC", title, WS_POPUP | WS_VISIBLE, 10, 10, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  return window;
}

TEST(BringWindowToFrontTest, TakesTheForegroundBack) {
  HWND mine = MakeWindow(L"mine");
  HWND other = MakeWindow(L"other");
  ASSERT_TRUE(mine && other);
  BringWindowToFront(mine);
  EXPECT_EQ(GetForegroundWindow(), mine);
  SetForegroundWindow(other);
  ASSERT_EQ(GetForegroundWindow(), other);
  BringWindowToFront(mine);
  EXPECT_EQ(GetForegroundWindow(), mine);
  BringWindowToFront(mine);  // already in front: stays
  EXPECT_EQ(GetForegroundWindow(), mine);
  DestroyWindow(other);
  DestroyWindow(mine);
}

}  // namespace
