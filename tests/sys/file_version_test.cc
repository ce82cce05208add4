// Version strings from this test program's own resource (sys_tests.rc).

#include "sys/file_version.h"

#include <gtest/gtest.h>

namespace {

TEST(FileVersionTest, ModuleVersionFromTheFixedBlock) {
  EXPECT_EQ(GetModuleFileVersion(nullptr), L"2.3.4.5");
  EXPECT_EQ(GetModuleFileVersion(GetModuleHandleW(L"kernel32.dll")).empty(), false);
}

TEST(FileVersionTest, StringsByNameAndTranslation) {
  FileVersionInfo info;
  ASSERT_TRUE(info.Open(L""));
  const struct { const wchar_t* name; uint32_t translation; const wchar_t* value; } cases[] = {
      {L"FileDescription", 0, L"Velmora test fixture"},
      {L"FileDescription", 0x080404b0, L"Velmora test fixture"},
      {L"ProductName", 0, L"Velmora"},
      {L"FileDescription", 0x040904b0, L""},
      {L"NoSuchValue", 0, L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(info.GetString(c.name, c.translation), c.value) << c.name;
}

TEST(FileVersionTest, UnopenedOrMissingGivesNothing) {
  FileVersionInfo info;
  EXPECT_EQ(info.GetString(L"FileDescription"), L"");
  EXPECT_FALSE(info.Open(L"C:\\no\\such\\file.exe"));
  EXPECT_EQ(info.GetString(L"FileDescription"), L"");
}

}  // namespace
