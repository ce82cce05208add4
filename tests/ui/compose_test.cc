// The composed picture of the main window: the frame's soft alpha edge,
// the constant alpha of a fade, and the disabled look of the install button.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/ui/ui_test_util.h"
#include "ui/button_ctl.h"
#include "ui/trans_window.h"

namespace {

using ui_test::Pixel;
using ui_test::PixelAt;

constexpr int kWidth = 492, kHeight = 402;

class ComposeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.set_main_variant(true);
    ASSERT_TRUE(window_.CreateFromSkin(nullptr, L"ENGUIMAINWINDOW"));
    SendMessageW(window_.hwnd(), WM_SIZE, 0, MAKELPARAM(kWidth, kHeight));
    // Only the start panel shows, as when the installer opens.
    for (const wchar_t* id : {L"id_panel_userdef", L"id_panel_download", L"id_panel_complete",
                              L"id_static_tryshutdown"})
      window_.FindElement(id)->SetVisible(false);
    install_ = static_cast<CButtonCtl*>(window_.FindElement(L"id_install"));
    ASSERT_NE(nullptr, install_);
  }
  void TearDown() override { ui_test::DropPosted(window_.hwnd()); }

  // The composed pixels, copied so the bitmap can go at once.
  std::vector<Pixel> Compose(int percent) {
    void* bits = nullptr;
    HBITMAP bitmap = window_.ComposeBitmap(percent, &bits);
    std::vector<Pixel> pixels;
    if (!bitmap || !bits) {
      ADD_FAILURE() << "no picture";
      return pixels;
    }
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(kWidth, info.bmWidth);
    EXPECT_EQ(kHeight, info.bmHeight);
    EXPECT_EQ(32, info.bmBitsPixel);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) pixels.push_back(PixelAt(bits, kWidth, x, y));
    DeleteObject(bitmap);
    return pixels;
  }

  static const Pixel& At(const std::vector<Pixel>& pixels, int x, int y) {
    return pixels[static_cast<size_t>(y) * kWidth + x];
  }

  std::vector<Pixel> CaptionPixels();

  CTransWindow window_;
  CButtonCtl* install_ = nullptr;
};

TEST_F(ComposeTest, FrameHasASoftEdgeAndAnOpaqueInside) {
  std::vector<Pixel> pixels = Compose(100);
  ASSERT_FALSE(pixels.empty());
  const Pixel& corner = At(pixels, 0, 0);
  EXPECT_GT(corner.a, 0);
  EXPECT_LT(corner.a, 255);
  // Premultiplied: no channel exceeds the alpha.
  EXPECT_LE(corner.r, corner.a);
  EXPECT_LE(corner.g, corner.a);
  EXPECT_LE(corner.b, corner.a);
  for (POINT p : {POINT{kWidth / 2, 150}, POINT{20, 200}, POINT{kWidth - 20, 200}})
    EXPECT_EQ(255, At(pixels, p.x, p.y).a) << p.x << "," << p.y;
}

TEST_F(ComposeTest, ConstantAlphaFollowsThePercent) {
  struct Case {
    int percent;
    int alpha;
  } cases[] = {{100, 254}, {50, 127}, {0, 0}, {150, 254}};
  for (const Case& c : cases) {
    Compose(c.percent);
    EXPECT_EQ(c.alpha, window_.constant_alpha()) << c.percent << "%";
  }
}

// The caption's own pixels: those of the install button's area that change
// when its title is removed, in the current state.
std::vector<Pixel> ComposeTest::CaptionPixels() {
  std::vector<Pixel> titled = Compose(100);
  std::wstring title = install_->GetTitle();
  install_->SetTitle(L"");
  std::vector<Pixel> untitled = Compose(100);
  install_->SetTitle(title);
  std::vector<Pixel> caption;
  if (titled.empty() || untitled.empty()) return caption;
  RECT r = install_->GetRect();
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const Pixel& t = At(titled, x, y);
      const Pixel& u = At(untitled, x, y);
      if (t.r != u.r || t.g != u.g || t.b != u.b) caption.push_back(t);
    }
  }
  return caption;
}

TEST_F(ComposeTest, DisabledInstallButtonDrawsAGreyCaption) {
  std::vector<Pixel> enabled = Compose(100);
  std::vector<Pixel> enabled_caption = CaptionPixels();
  install_->Enable(false);
  ASSERT_EQ(kStateDisabled, install_->state());
  std::vector<Pixel> disabled = Compose(100);
  std::vector<Pixel> disabled_caption = CaptionPixels();
  ASSERT_FALSE(enabled.empty());
  ASSERT_FALSE(disabled.empty());
  ASSERT_FALSE(enabled_caption.empty()) << "no caption drawn when enabled";
  ASSERT_FALSE(disabled_caption.empty()) << "no caption drawn when disabled";

  // Opaque pixels: premultiplied equals plain BGR. Anti-aliased edges are
  // darker than the text colour, never brighter.
  auto close_to = [](const Pixel& p, int value) {
    return p.a == 255 && std::abs(p.r - value) <= 8 && std::abs(p.g - value) <= 8 &&
           std::abs(p.b - value) <= 8;
  };
  auto bright = [](const Pixel& p) { return p.r >= 200 && p.g >= 200 && p.b >= 200; };
  int grey = 0, too_bright = 0, white = 0;
  for (const Pixel& p : disabled_caption) {
    if (close_to(p, 153)) ++grey;
    if (bright(p)) ++too_bright;
  }
  for (const Pixel& p : enabled_caption)
    if (p.a == 255 && p.r >= 240 && p.g >= 240 && p.b >= 240) ++white;
  EXPECT_GT(grey, 0) << "no disabled caption pixel near 153,153,153";
  EXPECT_EQ(0, too_bright) << "disabled caption pixels as bright as the enabled caption";
  EXPECT_GT(white, 0) << "no near-white caption pixel when enabled";

  // The button changes; nothing outside it does.
  RECT r = install_->GetRect();
  int changed_inside = 0, changed_outside = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Pixel& e = At(enabled, x, y);
      const Pixel& d = At(disabled, x, y);
      if (e.r == d.r && e.g == d.g && e.b == d.b && e.a == d.a) continue;
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) ++changed_inside;
      else ++changed_outside;
    }
  }
  EXPECT_GT(changed_inside, 0);
  EXPECT_EQ(0, changed_outside);
}

}  // namespace
