// Helpers of the UI tests: a recording host window whose window procedure
// logs what the element list sends it, a shared log that recording
// elements write to as well, and the collection of posted messages.

#ifndef TESTS_UI_UI_TEST_UTIL_H_
#define TESTS_UI_UI_TEST_UTIL_H_

#include <windows.h>

#include <string>
#include <vector>

namespace ui_test {

// One log for the host's sent messages and the elements' calls, so their
// relative order can be checked.
std::vector<std::wstring>& Log();

// A hidden window that logs UM_TOOLTIP ("tooltip 0", "tooltip 1 <tip>"),
// UM_SETCURSOR ("cursor arrow|hand|ibeam|other") and UM_RADIO_SELECTED
// ("radio"). Message-only unless |top_level|, which makes a hidden popup
// that can own other windows.
class RecordingHost {
 public:
  explicit RecordingHost(bool top_level = false);
  ~RecordingHost();
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// Removes and returns the queued messages |message| of |hwnd|; stops when
// none is left.
std::vector<MSG> TakePosted(HWND hwnd, UINT message);

// Drops the queued private messages of |hwnd| without dispatching them.
void DropPosted(HWND hwnd);

// A pixel of a composed top-down 32-bit picture (premultiplied BGRA).
struct Pixel {
  int b, g, r, a;
};
Pixel PixelAt(const void* bits, int width, int x, int y);

}  // namespace ui_test

#endif  // TESTS_UI_UI_TEST_UTIL_H_
