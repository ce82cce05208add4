// Making the install folder before a download: a location below a file or
// longer than the system allows fails and leaves nothing behind; a good one
// gets its folder and no package file yet.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "install_location.h"

namespace {

std::wstring TempRoot() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"folders_" + std::to_wstring(GetCurrentProcessId());
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(MakeInstallFoldersTest, MadeOnlyWhereThePackageCanBeWritten) {
  const std::wstring root = TempRoot();
  ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  HANDLE file = CreateFileW((root + L"\\blocker").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);

  const struct {
    const char* what;
    std::wstring location;
    bool made;
    std::wstring must_not_exist;  // what a failure must not leave
  } cases[] = {
      {"a new folder", root + L"\\new\\Games", true, L""},
      {"below a file", root + L"\\blocker\\Games", false, L""},
      {"the folder's name taken by a file", root + L"\\blocker_parent", false, L""},
      {"a folder too long", root + L"\\deep\\" + std::wstring(240, L'f'), false, root + L"\\deep"},
      // The folder itself within the limit, the package file's path not.
      {"a package path too long", root + L"\\pkg\\" + std::wstring(240 - 9 - root.size() - 5, L'p'),
       false, root + L"\\pkg"},
  };
  // The install folder of that row is a file.
  CreateDirectoryW((root + L"\\blocker_parent").c_str(), nullptr);
  file = CreateFileW((root + L"\\blocker_parent\\ORVChina").c_str(), GENERIC_WRITE, 0, nullptr,
                     CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);

  for (const auto& c : cases) {
    std::wstring folder = InstallFolderFor(c.location);
    std::wstring package = PackagePathFor(c.location, 1700000000);
    EXPECT_EQ(c.made, MakeInstallFolders(folder, package)) << c.what;
    if (c.made) {
      EXPECT_TRUE(IsFolder(folder)) << c.what;
      EXPECT_FALSE(Exists(package)) << c.what << ": the probe stayed";
    } else if (!c.must_not_exist.empty()) {
      EXPECT_FALSE(Exists(c.must_not_exist)) << c.what << ": a folder was left";
    }
  }
  // The folder that was there before a failure stays.
  EXPECT_TRUE(IsFolder(root + L"\\blocker_parent"));
}

}  // namespace
