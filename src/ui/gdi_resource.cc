#include "ui/gdi_resource.h"

#include <objidl.h>
#include <shlwapi.h>
// GDI+ needs min and max, which <windows.h> gives as macros only without
// NOMINMAX.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "base/lock.h"
#include "sys/sys_info.h"

namespace {

base::Lock& StartLock() {
  static base::Lock lock;
  return lock;
}
int g_start_count = 0;         // guarded by StartLock()
ULONG_PTR g_gdiplus_token = 0;  // guarded by StartLock()

constexpr COLORREF kColorKey = RGB(255, 0, 255);

struct FontSpec {
  int height_before_vista, height_from_vista, weight;
  bool underline;
};
constexpr FontSpec kFontSpecs[kFontKindCount] = {
    {13, 18, 0, false},    // normal
    {13, 18, 700, false},  // bold
    {16, 20, 700, false},  // large bold
    {16, 21, 0, false},    // large
    {12, 14, 700, false},  // small bold
    {13, 18, 0, true},     // underlined
};

// A memory DC holding |bitmap| for the duration of a blit.
class BitmapDC {
 public:
  BitmapDC(HDC reference, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(reference)),
        old_(dc_ ? SelectObject(dc_, bitmap) : nullptr) {}
  ~BitmapDC() {
    if (!dc_) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

void BlendPiece(HDC dest, int dx, int dy, int dw, int dh, HDC source, int sx, int sy, int sw,
                int sh, int alpha) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
  AlphaBlend(dest, dx, dy, dw, dh, source, sx, sy, sw, sh, blend);
}

void StretchPiece(HDC dest, const RECT& d, HDC source, const RECT& s, int mode, int alpha) {
  int dw = d.right - d.left, dh = d.bottom - d.top;
  int sw = s.right - s.left, sh = s.bottom - s.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (mode == kBlendAlpha) {
    BlendPiece(dest, d.left, d.top, dw, dh, source, s.left, s.top, sw, sh, alpha);
  } else {
    TransparentBlt(dest, d.left, d.top, dw, dh, source, s.left, s.top, sw, sh, kColorKey);
  }
}

Gdiplus::Color PlusColor(COLORREF color) {
  return Gdiplus::Color(CGDIResource::ToArgb(color));
}

}  // namespace

CGDIResource& CGDIResource::Instance() {
  static CGDIResource resource;
  return resource;
}

void CGDIResource::Initialize(const std::wstring& base_directory) {
  base::AutoLock hold(StartLock());
  base_directory_ = base_directory;
  if (g_start_count == 0) {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&g_gdiplus_token, &input, nullptr);
  }
  ++g_start_count;
}

void CGDIResource::Shutdown() {
  base::AutoLock hold(StartLock());
  if (g_start_count == 0) return;
  if (--g_start_count > 0) return;
  ReleaseCaches();
  Gdiplus::GdiplusShutdown(g_gdiplus_token);
  g_gdiplus_token = 0;
}

bool CGDIResource::IsStarted() const {
  base::AutoLock hold(StartLock());
  return g_start_count > 0;
}

void CGDIResource::ReleaseCaches() {
  for (auto& entry : images_) DeleteObject(entry.second);
  images_.clear();
  for (HFONT& font : fonts_) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
}

unsigned CGDIResource::ToArgb(COLORREF color) {
  return (254u << 24) | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

SIZE CGDIResource::BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

void CGDIResource::DrawNineGrid(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& source,
                                int alpha, int ml, int mt, int mr, int mb) {
  if (!bitmap) return;
  BitmapDC image(dc, bitmap);
  const int dx[4] = {dest.left, dest.left + ml, dest.right - mr, dest.right};
  const int dy[4] = {dest.top, dest.top + mt, dest.bottom - mb, dest.bottom};
  const int sx[4] = {source.left, source.left + ml, source.right - mr, source.right};
  const int sy[4] = {source.top, source.top + mt, source.bottom - mb, source.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      BlendPiece(dc, dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row], image.get(),
                 sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row], alpha);
    }
  }
}

void CGDIResource::Blit(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& source, int mode) {
  if (!bitmap) return;
  BitmapDC image(dc, bitmap);
  StretchPiece(dc, dest, image.get(), source, mode, 255);
}

void CGDIResource::BlitWhole(HDC dc, HBITMAP bitmap, const RECT& dest, int mode, int alpha) {
  BlitWhole(dc, bitmap, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
            mode, alpha);
}

void CGDIResource::BlitWhole(HDC dc, HBITMAP bitmap, int x, int y, int width, int height,
                             int mode, int alpha) {
  if (!bitmap) return;
  SIZE size = BitmapSize(bitmap);
  BitmapDC image(dc, bitmap);
  RECT d = {x, y, x + width, y + height};
  RECT s = {0, 0, size.cx, size.cy};
  StretchPiece(dc, d, image.get(), s, mode, std::min(std::max(alpha, 0), 255));
}

void CGDIResource::DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void CGDIResource::DrawPlusLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
  Gdiplus::Graphics graphics(dc);
  Gdiplus::Pen pen(PlusColor(color), 1.0f);
  graphics.DrawLine(&pen, x1, y1, x2, y2);
}

void CGDIResource::DrawGdiText(HDC dc, const std::wstring& text, const RECT& rect, HFONT font,
                            COLORREF color, UINT format) {
  HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
  int old_mode = SetBkMode(dc, TRANSPARENT);
  COLORREF old_color = SetTextColor(dc, color);
  RECT r = rect;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  SetTextColor(dc, old_color);
  SetBkMode(dc, old_mode);
  if (font) SelectObject(dc, old_font);
}

void CGDIResource::DrawPlusText(HDC dc, const std::wstring& text, const RECT& rect, HFONT font,
                                COLORREF color, UINT format) {
  if (text.empty()) return;
  Gdiplus::Graphics graphics(dc);
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
  HFONT source = font ? font : static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
  Gdiplus::Font plus_font(dc, source);
  Gdiplus::SolidBrush brush(PlusColor(color));
  Gdiplus::StringFormat string_format;
  string_format.SetAlignment((format & DT_CENTER)  ? Gdiplus::StringAlignmentCenter
                             : (format & DT_RIGHT) ? Gdiplus::StringAlignmentFar
                                                   : Gdiplus::StringAlignmentNear);
  string_format.SetLineAlignment((format & DT_VCENTER) ? Gdiplus::StringAlignmentCenter
                                                       : Gdiplus::StringAlignmentNear);
  if (format & DT_SINGLELINE) string_format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  if (format & DT_END_ELLIPSIS) string_format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  Gdiplus::RectF layout(static_cast<float>(rect.left), static_cast<float>(rect.top),
                        static_cast<float>(rect.right - rect.left),
                        static_cast<float>(rect.bottom - rect.top));
  graphics.DrawString(text.c_str(), static_cast<int>(text.size()), &plus_font, layout,
                      &string_format, &brush);
}

void CGDIResource::FillRect(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  ::FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void CGDIResource::DrawRectangle(HDC dc, const RECT& rect, COLORREF pen_color,
                                 COLORREF fill_color) {
  HPEN pen = CreatePen(PS_SOLID, 1, pen_color);
  HBRUSH brush = CreateSolidBrush(fill_color);
  HGDIOBJ old_pen = SelectObject(dc, pen);
  HGDIOBJ old_brush = SelectObject(dc, brush);
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void CGDIResource::DrawPlusRectangle(HDC dc, const RECT& rect, COLORREF pen_color,
                                     COLORREF fill_color) {
  Gdiplus::Graphics graphics(dc);
  Gdiplus::SolidBrush brush(PlusColor(fill_color));
  Gdiplus::Pen pen(PlusColor(pen_color), 1.0f);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  graphics.FillRectangle(&brush, rect.left, rect.top, width, height);
  graphics.DrawRectangle(&pen, rect.left, rect.top, width, height);
}

HBITMAP CGDIResource::DecodeToBitmap(const void* bytes, size_t size) {
  IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(bytes), static_cast<UINT>(size));
  if (!stream) return nullptr;
  HBITMAP result = nullptr;
  {
    Gdiplus::Bitmap bitmap(stream, FALSE);
    if (bitmap.GetLastStatus() == Gdiplus::Ok)
      bitmap.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &result);
  }
  stream->Release();
  return result;
}

HBITMAP CGDIResource::ImageFromResource(HMODULE module, const wchar_t* name, int type) {
  if (!name || !*name) return nullptr;
  auto cached = images_.find(name);
  if (cached != images_.end()) return cached->second;
  HRSRC resource = FindResourceW(module, name, MAKEINTRESOURCEW(type));
  if (!resource) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
  HBITMAP bitmap = DecodeToBitmap(bytes, SizeofResource(module, resource));
  if (bitmap) images_[name] = bitmap;
  return bitmap;
}

HBITMAP CGDIResource::ImageFromFile(const std::wstring& path) {
  auto cached = images_.find(path);
  if (cached != images_.end()) return cached->second;
  HBITMAP result = nullptr;
  {
    Gdiplus::Bitmap bitmap(path.c_str(), FALSE);
    if (bitmap.GetLastStatus() == Gdiplus::Ok)
      bitmap.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &result);
  }
  if (result) images_[path] = result;
  return result;
}

HFONT CGDIResource::Font(FontKind kind) {
  if (kind < 0 || kind >= kFontKindCount) return nullptr;
  if (fonts_[kind]) return fonts_[kind];
  bool vista = GetOsVersionCode() > 6;
  const wchar_t* face = L"Arial";
  if (GetSystemDefaultLangID() == 2052) face = vista ? L"Microsoft Yahei" : L"Tahoma";
  const FontSpec& spec = kFontSpecs[kind];
  fonts_[kind] = CreateFontW(vista ? spec.height_from_vista : spec.height_before_vista, 0, 0, 0,
                             spec.weight, FALSE, spec.underline, FALSE, 0, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
  return fonts_[kind];
}
