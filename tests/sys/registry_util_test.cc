// The autorun value in the prefix's real registry, under a test value name.

#include "sys/registry_util.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring ReadString(HKEY root, const wchar_t* subkey, const wchar_t* name,
                        DWORD* type, DWORD* bytes) {
  wchar_t value[512] = {};
  *bytes = sizeof(value);
  if (RegGetValueW(root, subkey, name, RRF_RT_ANY | RRF_NOEXPAND, type, value, bytes) !=
      ERROR_SUCCESS)
    return L"<missing>";
  return value;
}

TEST(WriteRegistryStringTest, WritesAndOverwritesTheBarePath) {
  const std::wstring name = L"ORVChinaTest" + std::to_wstring(GetCurrentProcessId());
  const wchar_t* texts[] = {L"C:\\Program Files\\Velmora Game\\orvlauncher.exe",
                            L"D:\\Games\\orvlauncher.exe"};
  for (const wchar_t* text : texts) {
    ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, kRunKey, name, text));
    DWORD type = 0, bytes = 0;
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, name.c_str(), &type, &bytes), text);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, (wcslen(text) + 1) * sizeof(wchar_t));
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, name.c_str());
}

TEST(WriteRegistryStringTest, CreatesAMissingKey) {
  const std::wstring key = L"Software\\VelmoraTest" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, key + L"\\Deeper", L"v", L"x"));
  DWORD type = 0, bytes = 0;
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, (key + L"\\Deeper").c_str(), L"v", &type, &bytes),
            L"x");
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(WriteRegistryStringTest, UnopenableKeyFails) {
  EXPECT_FALSE(WriteRegistryString(nullptr, L"Software\\X", L"v", L"x"));
}

}  // namespace
