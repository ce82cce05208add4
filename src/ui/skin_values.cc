#include "ui/skin_values.h"

#include <cstdint>
#include <cwchar>
#include <vector>

namespace {

std::vector<std::wstring> SplitAtComma(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(L',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::wstring::npos) return parts;
    start = comma + 1;
  }
}

}  // namespace

int ParseSkinInt(const std::wstring& text) {
  const wchar_t* p = text.c_str();
  while (*p == L' ' || *p == L'\t') ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
  if (*p < L'0' || *p > L'9') return 0;
  uint32_t value = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) value = value * 10u + static_cast<uint32_t>(*p - L'0');
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

COLORREF ParseSkinColor(const std::wstring& text) {
  if (text.empty()) return RGB(0, 0, 0);
  std::vector<std::wstring> parts = SplitAtComma(text);
  if (parts.size() != 3) return RGB(0, 0, 0);
  return RGB(ParseSkinInt(parts[0]) & 0xFF, ParseSkinInt(parts[1]) & 0xFF,
             ParseSkinInt(parts[2]) & 0xFF);
}

Quad ParseSkinQuad(const std::wstring& text) {
  Quad quad;
  if (text.empty()) return quad;
  std::vector<std::wstring> parts = SplitAtComma(text);
  if (parts.size() != 4) return quad;
  quad.left = ParseSkinInt(parts[0]);
  quad.top = ParseSkinInt(parts[1]);
  quad.right = ParseSkinInt(parts[2]);
  quad.bottom = ParseSkinInt(parts[3]);
  return quad;
}

int ParseSkinAlignment(const std::wstring& text, int fallback) {
  if (text == L"left") return kAlignLeft;
  if (text == L"top") return kAlignTop;
  if (text == L"right") return kAlignRight;
  if (text == L"bottom") return kAlignBottom;
  if (text == L"center") return kAlignCenter;
  return fallback;
}

int ParseSkinStretch(const std::wstring& text) {
  if (text == L"scale") return kStretchScale;
  if (text == L"fill") return kStretchFill;
  return kStretchNone;
}
