// Machine facts: the version table is fed records so every row is covered.

#include "sys/sys_info.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

OSVERSIONINFOW Version(DWORD major, DWORD minor, const wchar_t* sp,
                       DWORD platform = VER_PLATFORM_WIN32_NT) {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  info.dwMajorVersion = major;
  info.dwMinorVersion = minor;
  info.dwPlatformId = platform;
  wcsncpy(info.szCSDVersion, sp, 127);
  return info;
}

TEST(OsVersionTest, CodeAndNameForEveryRow) {
  const struct { DWORD major, minor; const wchar_t* sp; int code; const char* name; } cases[] = {
      {5, 0, L"", 1, "Windows2000"},
      {5, 0, L"Service Pack 4", 1, "Windows2000"},
      {5, 1, L"", 2, "WindowsXP"},
      {5, 1, L"Service Pack 1a", 2, "WindowsXP"},
      {5, 1, L"Service Pack 1", 3, "WindowsXP"},
      {5, 1, L"service pack 2", 4, "WindowsXP"},
      {5, 1, L"SERVICE PACK 3", 5, "WindowsXP"},
      {5, 2, L"Service Pack 2", 6, "WindowsServer2003"},
      {5, 3, L"", -1000, "unknown"},
      {6, 0, L"", 7, "WindowsVista"},
      {6, 0, L"Service Pack 3", 7, "WindowsVista"},
      {6, 0, L"Service Pack 1", 8, "WindowsVista"},
      {6, 0, L"Service Pack 2", 8, "WindowsVista"},
      {6, 1, L"Service Pack 1", 9, "Windows7"},
      {6, 2, L"", 10, "Windows8"},
      {6, 3, L"", 11, "Windows8.1"},
      {6, 4, L"", -1000, "unknown"},
      {10, 0, L"", 12, "Windows11"},
      {4, 0, L"", 1000, "unknown"},
      {11, 0, L"", 1000, "unknown"},
  };
  for (const auto& c : cases) {
    OSVERSIONINFOW info = Version(c.major, c.minor, c.sp);
    int code = OsVersionCodeFrom(&info);
    EXPECT_EQ(code, c.code) << c.major << "." << c.minor;
    EXPECT_EQ(OsNameFor(code), c.name) << c.major << "." << c.minor;
  }
}

TEST(OsVersionTest, FailedQueryAndOtherPlatformsAreUnknown) {
  OSVERSIONINFOW nine_x = Version(5, 1, L"", VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_EQ(OsVersionCodeFrom(&nine_x), -1000);
  EXPECT_EQ(OsVersionCodeFrom(nullptr), -1000);
}

TEST(OsVersionTest, ThisMachineIsCachedAndNamed) {
  int code = GetOsVersionCode();
  EXPECT_EQ(GetOsVersionCode(), code);
  EXPECT_EQ(GetOsName(), OsNameFor(code));
}

TEST(SystemLanguageTest, OnlySimplifiedChineseSetsTheFlag) {
  const struct { LANGID id; bool chinese; } cases[] = {
      {0x0804, true}, {0x0404, false}, {0x0409, false}, {0x0C04, false},
  };
  for (const auto& c : cases) {
    SetSystemLanguage(c.id);
    EXPECT_EQ(SystemLanguage(), c.id);
    EXPECT_EQ(IsChineseSystem(), c.chinese) << std::hex << c.id;
  }
  LoadSystemLanguage();
  EXPECT_EQ(SystemLanguage(), GetSystemDefaultLangID());
}

TEST(MacAddressTest, TwelveUpperHexDigitsOrEmpty) {
  std::string mac = GetMacAddress();
  if (mac.empty()) return;  // no NetBIOS adapter here
  ASSERT_EQ(mac.size(), 12u);
  for (char ch : mac) EXPECT_TRUE(isdigit(ch) || (ch >= 'A' && ch <= 'F')) << mac;
}

TEST(FreeDiskBytesTest, ReadsAVolumeAndRefusesAMissingOne) {
  uint64_t bytes = 0;
  EXPECT_TRUE(GetFreeDiskBytes(L"C:\\", &bytes));
  EXPECT_GT(bytes, 0u);
  uint64_t untouched = 7;
  EXPECT_FALSE(GetFreeDiskBytes(L"\\\\nohost\\noshare\\", &untouched));
  EXPECT_FALSE(GetFreeDiskBytes(L"", &untouched));
  EXPECT_EQ(untouched, 7u);
}

}  // namespace
