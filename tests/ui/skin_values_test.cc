// The attribute readers turn malformed values into defaults, never errors.

#include <gtest/gtest.h>

#include <string>

#include "ui/skin_values.h"

namespace {

TEST(SkinValuesTest, Colors) {
  struct Case {
    const wchar_t* text;
    COLORREF expected;
  } cases[] = {
      {L"250,250,250", RGB(250, 250, 250)},
      {L"0,213,254", RGB(0, 213, 254)},
      {L"250,250", RGB(0, 0, 0)},      // too few parts
      {L"1,2,3,4", RGB(0, 0, 0)},      // too many parts
      {L"300,1,2", RGB(44, 1, 2)},     // low 8 bits of each part
      {L"", RGB(0, 0, 0)},
      {L"red,green,blue", RGB(0, 0, 0)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, ParseSkinColor(c.text)) << "colour \"" << std::wstring(c.text) << "\"";
}

TEST(SkinValuesTest, Integers) {
  struct Case {
    const wchar_t* text;
    int expected;
  } cases[] = {
      {L"2248146944", static_cast<int>(0x86000000u)},  // window style mask above INT_MAX
      {L"246", 246},
      {L"-5", -5},
      {L" 42px", 42},
      {L"", 0},
      {L"abc", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, ParseSkinInt(c.text)) << "int \"" << std::wstring(c.text) << "\"";
}

TEST(SkinValuesTest, Quads) {
  struct Case {
    const wchar_t* text;
    Quad expected;
  } cases[] = {
      {L"10,10,10,10", {10, 10, 10, 10}},
      {L"3,6,3,6", {3, 6, 3, 6}},
      {L"1,2,3", {0, 0, 0, 0}},
      {L"1,2,3,4,5", {0, 0, 0, 0}},
      {L"", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    Quad q = ParseSkinQuad(c.text);
    EXPECT_TRUE(q.left == c.expected.left && q.top == c.expected.top &&
                q.right == c.expected.right && q.bottom == c.expected.bottom)
        << "quad \"" << std::wstring(c.text) << "\" gave " << q.left << "," << q.top << ","
        << q.right << "," << q.bottom;
  }
}

TEST(SkinValuesTest, AlignmentAndStretchKeywords) {
  struct Case {
    const wchar_t* text;
    int fallback;
    int expected;
  } alignments[] = {
      {L"left", kAlignTop, kAlignLeft},       {L"top", kAlignLeft, kAlignTop},
      {L"right", kAlignLeft, kAlignRight},    {L"bottom", kAlignTop, kAlignBottom},
      {L"center", kAlignLeft, kAlignCenter},
      // Unknown or missing: the horizontal default 1, the vertical default 2.
      {L"middle", kAlignLeft, 1},             {L"", kAlignLeft, 1},
      {L"middle", kAlignTop, 2},              {L"", kAlignTop, 2},
  };
  for (const auto& c : alignments)
    EXPECT_EQ(c.expected, ParseSkinAlignment(c.text, c.fallback))
        << "alignment \"" << std::wstring(c.text) << "\"";

  struct StretchCase {
    const wchar_t* text;
    int expected;
  } stretches[] = {
      {L"none", 0}, {L"scale", 1}, {L"fill", 2}, {L"stretch", 0}, {L"", 0},
  };
  for (const auto& c : stretches)
    EXPECT_EQ(c.expected, ParseSkinStretch(c.text)) << "stretch \"" << std::wstring(c.text) << "\"";
}

}  // namespace
