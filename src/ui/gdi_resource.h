// The process-wide drawing toolbox: PNG resources as cached 32-bit bitmaps,
// the six shared fonts, and the blits, texts, rectangles and lines through
// which every element draws. GDI+ is started by the first Initialize and
// stopped by the matching last Shutdown.
//
// Thread affinity: the UI thread; Initialize and Shutdown take a lock.
// Ownership: cached bitmaps and fonts belong to the toolbox until Shutdown.

#ifndef UI_GDI_RESOURCE_H_
#define UI_GDI_RESOURCE_H_

#include <windows.h>

#include <map>
#include <string>

enum FontKind {
  kFontNormal = 0,
  kFontBold,
  kFontLargeBold,
  kFontLarge,      // "bigfont"
  kFontSmallBold,  // "samllfont", progress percentage
  kFontUnderline,
  kFontKindCount
};

// Blit modes.
constexpr int kBlendAlpha = 2;  // per-pixel alpha; any other value keys out magenta

// The image resource type of skin images.
constexpr int kSkinImageType = 6000;

class CGDIResource {
 public:
  static CGDIResource& Instance();

  // Counted start and stop of GDI+; the last Shutdown also releases every
  // cached bitmap and font.
  void Initialize(const std::wstring& base_directory);
  void Shutdown();
  bool IsStarted() const;
  void ReleaseCaches();

  // Nine-grid: corners unscaled, edges stretched along one axis, the centre
  // along both; |alpha| and per-pixel alpha apply to all nine pieces.
  void DrawNineGrid(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& source, int alpha,
                    int margin_left, int margin_top, int margin_right, int margin_bottom);
  // The source rectangle stretched into the destination, alpha 255.
  void Blit(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& source, int mode);
  // The whole bitmap stretched into a rectangle; alpha above 255 is 255.
  void BlitWhole(HDC dc, HBITMAP bitmap, const RECT& dest, int mode, int alpha);
  void BlitWhole(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int mode,
                 int alpha);

  void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color);
  void DrawPlusLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color);
  // GDI text: transparent background; a null font keeps the DC's font.
  void DrawGdiText(HDC dc, const std::wstring& text, const RECT& rect, HFONT font, COLORREF color,
                UINT format);
  // GDI+ text (keeps alpha on layered windows): DT_CENTER/DT_RIGHT, DT_VCENTER,
  // DT_SINGLELINE and DT_END_ELLIPSIS are honoured; a zero-height rectangle
  // has no bottom bound. A null font uses the DC's font.
  void DrawPlusText(HDC dc, const std::wstring& text, const RECT& rect, HFONT font,
                    COLORREF color, UINT format);
  void FillRect(HDC dc, const RECT& rect, COLORREF color);
  void DrawRectangle(HDC dc, const RECT& rect, COLORREF pen, COLORREF fill);
  void DrawPlusRectangle(HDC dc, const RECT& rect, COLORREF pen, COLORREF fill);

  // A PNG resource of |type| as a cached 32-bit bitmap with alpha; null when
  // there is none (not cached). The name alone is the cache key.
  HBITMAP ImageFromResource(HMODULE module, const wchar_t* name, int type = kSkinImageType);
  HBITMAP ImageFromFile(const std::wstring& path);

  HFONT Font(FontKind kind);
  // Width and height of a bitmap, (0, 0) for none.
  static SIZE BitmapSize(HBITMAP bitmap);
  // GDI+ colours carry alpha 254, not 255.
  static unsigned ToArgb(COLORREF color);

 private:
  CGDIResource() = default;
  HBITMAP DecodeToBitmap(const void* bytes, size_t size);

  std::wstring base_directory_;
  std::map<std::wstring, HBITMAP> images_;
  HFONT fonts_[kFontKindCount] = {};
};

#endif  // UI_GDI_RESOURCE_H_
