// Text helpers as tables of cases.

#include "sys/string_util.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(UrlPathOfTest, PathOnlyForPlainHttpAddresses) {
  const struct { const char* url; const char* path; } cases[] = {
      {"https://cdn.example.com", "/"},
      {"https://cdn.example.com/", "/"},
      {"http://cdn.example.com/a/b", "/a/b"},
      {"https://cdn-1.example.com/pkg/game_1.0+x.zip", "/pkg/game_1.0+x.zip"},
      {"http://127.0.0.1:8600/pkg.zip", ""},
      {"https://cdn.example.com/pkg.zip?x=1", ""},
      {"https://cdn.example.com/a%20b.zip", ""},
      {"ftp://cdn.example.com/pkg.zip", ""},
      {"", ""},
      {"http://", ""},
      {"https:///pkg.zip", ""},                      // no host
      {"http://host,1/a", "/,1/a"},                  // ',' starts the path
      {"http://a-b/c-d", ""},                        // '-' only in the host
      {"HTTP://cdn.example.com/a", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlPathOf(c.url), c.path) << c.url;
}

// An address from the network can be of any length; a matcher that
// recursed once per character would overflow the thread's stack here.
TEST(UrlPathOfTest, LongAddresses) {
  const std::string path(200000, 'a');
  const struct { std::string url; std::string path; } cases[] = {
      {"https://cdn.example.com/" + path, "/" + path},
      {"https://" + path, "/"},
      {"https://cdn.example.com/" + path + "?x", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlPathOf(c.url), c.path) << c.url.substr(0, 40);
}

TEST(ReplaceAllTest, ReplacementsAreNotSearchedAgain) {
  const struct { const wchar_t* text; const wchar_t* pattern; const wchar_t* with; const wchar_t* out; } cases[] = {
      {L"need {SPACESIZE} free", L"{SPACESIZE}", L"2.50 GB", L"need 2.50 GB free"},
      {L"aXbXc", L"X", L"XX", L"aXXbXXc"},
      {L"XX", L"X", L"", L""},
      {L"none", L"X", L"Y", L"none"},
      {L"abc", L"", L"Y", L"abc"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.with), c.out) << c.text;
}

TEST(FormatGigabytesTest, TwoDecimalsRounded) {
  const struct { uint64_t bytes; const wchar_t* text; } cases[] = {
      {0, L"0.00 GB"},
      {1073741824ULL, L"1.00 GB"},
      {1073741823ULL, L"1.00 GB"},
      {1610612736ULL, L"1.50 GB"},
      {5ULL * 1073741824ULL + 10737418ULL, L"5.01 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGigabytes(c.bytes), c.text) << c.bytes;
}

TEST(ConversionTest, RoundTripsAndEmptyInput) {
  const std::wstring chinese = L"\x6E38\x620F\x5B89\x88C5";
  EXPECT_EQ(Utf8ToWide(WideToUtf8(chinese)), chinese);
  EXPECT_EQ(WideToUtf8(L"A\x00E9"), "A\xC3\xA9");
  EXPECT_EQ(AnsiToWide(WideToAnsi(L"plain text")), L"plain text");
  EXPECT_EQ(AnsiToWide(""), L"");
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(IntToWide(-42), L"-42");
}

TEST(ConversionTest, AnsiToWideDropsALeadingByteOrderMark) {
  // The system code page here cannot encode U+FEFF; UTF-8 as "ANSI" can.
  const struct { const char* bytes; const wchar_t* text; } cases[] = {
      {"\xEF\xBB\xBFVelmora", L"Velmora"},
      {"\xEF\xBB\xBF", L""},
      {"Vel\xEF\xBB\xBFmora", L"Vel\xFEFFmora"},  // only a leading one
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", L"\xFEFFx"},
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiToWide(c.bytes, CP_UTF8), c.text) << c.bytes;
}

TEST(UnixTimeSecondsTest, IsAfter2024) {
  EXPECT_GT(UnixTimeSeconds(), 1704067200);  // 2024-01-01
}

}  // namespace
