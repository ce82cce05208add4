// Readers for the value types of skin attributes: int, colour, quad,
// alignment and stretch. Malformed values give the defaults, never errors.
//
// Thread affinity: none; plain functions.

#ifndef UI_SKIN_VALUES_H_
#define UI_SKIN_VALUES_H_

#include <windows.h>

#include <string>

enum Alignment { kAlignLeft = 1, kAlignTop = 2, kAlignRight = 3, kAlignBottom = 4, kAlignCenter = 5 };
enum Stretch { kStretchNone = 0, kStretchScale = 1, kStretchFill = 2 };

struct Quad {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The first decimal number, taken modulo 2^32 ("2248146944" is the bit mask
// 0x86000000); 0 when there is none.
int ParseSkinInt(const std::wstring& text);
// "R,G,B", each part's low 8 bits; black unless there are exactly 3 parts.
COLORREF ParseSkinColor(const std::wstring& text);
// "L,T,R,B"; all zero unless there are exactly 4 parts.
Quad ParseSkinQuad(const std::wstring& text);
// "left" 1, "top" 2, "right" 3, "bottom" 4, "center" 5; else |fallback|.
int ParseSkinAlignment(const std::wstring& text, int fallback);
// "none" 0, "scale" 1, "fill" 2; else 0.
int ParseSkinStretch(const std::wstring& text);

#endif  // UI_SKIN_VALUES_H_
