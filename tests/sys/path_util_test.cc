// Path helpers as tables, and forced deletion against real files.

#include "sys/path_util.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
}

bool IsFolder(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

TEST(PathPartsTest, NameDirectoryAndRoot) {
  const struct { const wchar_t* path; const wchar_t* name; const wchar_t* dir; const wchar_t* root; } cases[] = {
      {L"C:\\Games\\ORVChina\\a.zip", L"a.zip", L"C:\\Games\\ORVChina\\", L"C:\\"},
      {L"C:/Games/x", L"x", L"C:/Games/", L"C:\\"},
      {L"D:", L"D:", L"", L"D:\\"},
      {L"\\\\server\\share\\dir\\f", L"f", L"\\\\server\\share\\dir\\", L"\\\\server\\share\\"},
      {L"\\\\server", L"server", L"\\\\", L""},
      {L"relative\\f.txt", L"f.txt", L"relative\\", L""},
      {L"plain", L"plain", L"", L""},
      {L"C:\\trailing\\", L"", L"C:\\trailing\\", L"C:\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(DirectoryOf(c.path), c.dir) << c.path;
    EXPECT_EQ(RootOf(c.path), c.root) << c.path;
  }
}

TEST(CreateDirectoryChainTest, CreatesUpToTheLastSeparator) {
  const std::wstring base = TempFolder(L"chain");
  ASSERT_TRUE(CreateDirectoryChain(base));
  // A file where a folder of the chain should be.
  Touch(base + L"blocker");
  const struct { std::wstring path; bool result; std::wstring made; std::wstring not_made; } cases[] = {
      {base + L"a\\b\\", true, base + L"a\\b", L""},
      {base + L"c\\d", true, base + L"c", base + L"c\\d"},
      {base + L"e/f/", true, base + L"e\\f", L""},
      // Mixed separators are walked in path order.
      {base + L"g\\h/i\\j", true, base + L"g\\h\\i", base + L"g\\h\\i\\j"},
      {base + L"k/l\\m/", true, base + L"k\\l\\m", L""},
      {L"C:\\", true, L"C:\\", L""},
      {L"", false, L"", L""},
      {base + std::wstring(300, L'x') + L"\\", false, L"", L""},
      {base + L"blocker\\", false, L"", L""},
      {base + L"blocker\\games\\", false, L"", base + L"blocker\\games"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CreateDirectoryChain(c.path), c.result) << c.path;
    if (!c.made.empty()) {
      EXPECT_TRUE(IsFolder(c.made)) << c.path;
    }
    if (!c.not_made.empty()) {
      EXPECT_FALSE(Exists(c.not_made)) << c.path;
    }
  }
}

TEST(ForceDeleteFileTest, MissingReadOnlyAndOpenFiles) {
  const std::wstring base = TempFolder(L"force_delete");
  CreateDirectoryChain(base);

  EXPECT_EQ(ForceDeleteFile(base + L"missing.bin"), 1);
  EXPECT_EQ(ForceDeleteFile(base), 1);  // a folder is left alone
  EXPECT_TRUE(IsFolder(base));

  const std::wstring read_only = base + L"read_only.bin";
  Touch(read_only);
  SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ForceDeleteFile(read_only), 1);
  EXPECT_FALSE(Exists(read_only));

  // Held open without delete sharing: neither delete nor rename succeeds.
  const std::wstring open = base + L"open.bin";
  Touch(open);
  HANDLE h = CreateFileW(open.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ForceDeleteFile(open), 0);
  CloseHandle(h);
  EXPECT_EQ(ForceDeleteFile(open), 1);
  EXPECT_FALSE(Exists(open));
}

TEST(GetSpecialFolderTest, RoamingAppDataExistsAndUnknownIsEmpty) {
  std::wstring app_data = GetSpecialFolder(CSIDL_APPDATA, false);
  EXPECT_FALSE(app_data.empty());
  EXPECT_TRUE(IsFolder(app_data));
  EXPECT_EQ(GetSpecialFolder(0x7FFF, false), L"");
}

}  // namespace
