// Shell links written into the prefix's real desktop, Start menu and pinned
// folders, read back through the shell's link object.

#include "sys/shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

struct Link {
  std::wstring path, working_folder, icon;
  int icon_index = -1;
};

bool ReadLink(const std::wstring& file, Link* link) {
  IShellLinkW* shell_link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IShellLinkW, reinterpret_cast<void**>(&shell_link))))
    return false;
  IPersistFile* persist = nullptr;
  bool ok = SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile,
                                                 reinterpret_cast<void**>(&persist))) &&
            SUCCEEDED(persist->Load(file.c_str(), STGM_READ));
  if (ok) {
    wchar_t text[MAX_PATH] = {};
    shell_link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->path = text;
    shell_link->GetWorkingDirectory(text, MAX_PATH);
    link->working_folder = text;
    shell_link->GetIconLocation(text, MAX_PATH, &link->icon_index);
    link->icon = text;
  }
  if (persist) persist->Release();
  shell_link->Release();
  return ok;
}

class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override {
    for (int kind = 1; kind <= 3; ++kind) DeleteFileW(ShortcutPath(kind, name_).c_str());
    CoUninitialize();
  }
  const std::wstring name_ = L"Velmora Test " + std::to_wstring(GetCurrentProcessId());
};

TEST_F(ShortcutTest, EachKindPointsAtTheLauncher) {
  const std::wstring folder = L"C:\\Games\\Velmora Game";
  const std::wstring target = folder + L"\\orvlauncher.exe";
  for (int kind : {kShortcutDesktop, kShortcutStartMenu, kShortcutTaskbar}) {
    SCOPED_TRACE(kind);
    std::wstring file = ShortcutPath(kind, name_);
    ASSERT_FALSE(file.empty());
    ASSERT_TRUE(CreateShortcut(target, kind, name_));
    Link link;
    ASSERT_TRUE(ReadLink(file, &link));
    EXPECT_EQ(link.path, target);
    EXPECT_EQ(link.working_folder, folder);
    EXPECT_EQ(link.icon, target);
    EXPECT_EQ(link.icon_index, 0);
  }
  EXPECT_NE(ShortcutPath(kShortcutTaskbar, name_).find(
                L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar\\"),
            std::wstring::npos);
}

TEST_F(ShortcutTest, ExistingLinkIsOverwritten) {
  ASSERT_TRUE(CreateShortcut(L"C:\\Old\\orvlauncher.exe", kShortcutDesktop, name_));
  ASSERT_TRUE(CreateShortcut(L"D:\\New\\orvlauncher.exe", kShortcutDesktop, name_));
  Link link;
  ASSERT_TRUE(ReadLink(ShortcutPath(kShortcutDesktop, name_), &link));
  EXPECT_EQ(link.path, L"D:\\New\\orvlauncher.exe");
}

TEST_F(ShortcutTest, UnknownKindsWriteNothing) {
  for (int kind : {0, 4, -1}) {
    EXPECT_EQ(ShortcutPath(kind, name_), L"");
    EXPECT_FALSE(CreateShortcut(L"C:\\Games\\orvlauncher.exe", kind, name_));
  }
}

}  // namespace
