#include "sys/shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "sys/path_util.h"
#include "sys/scoped_com.h"

namespace {

constexpr int kCsidlRoamingAppData = 26;
constexpr wchar_t kTaskbarPinnedPath[] =
    L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";

std::wstring ShellFolderPath(int csidl) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items)
    return std::wstring();
  wchar_t path[MAX_PATH + 1] = {};
  BOOL ok = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);
  return ok ? std::wstring(path) : std::wstring();
}

std::wstring KindFolder(int kind) {
  switch (kind) {
    case kShortcutDesktop: return ShellFolderPath(CSIDL_DESKTOPDIRECTORY);
    case kShortcutStartMenu: return ShellFolderPath(CSIDL_STARTMENU);
    case kShortcutTaskbar: {
      std::wstring app_data = GetSpecialFolder(kCsidlRoamingAppData, true);
      return app_data.empty() ? app_data : app_data + kTaskbarPinnedPath;
    }
    default: return std::wstring();
  }
}

}  // namespace

std::wstring ShortcutPath(int kind, const std::wstring& display_name) {
  std::wstring folder = KindFolder(kind);
  return folder.empty() ? folder : folder + L"\\" + display_name + L".lnk";
}

bool CreateShortcut(const std::wstring& target, int kind, const std::wstring& display_name) {
  ScopedComInit com;
  std::wstring link = ShortcutPath(kind, display_name);
  if (link.empty()) return false;
  // The pinned-items folder is missing on systems that never pinned anything.
  if (kind == kShortcutTaskbar) CreateDirectoryChain(link);

  std::wstring working_folder = DirectoryOf(target);
  if (working_folder.size() > 3) working_folder.pop_back();  // keep "C:\"

  ScopedCom<IShellLinkW> shell_link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IShellLinkW, shell_link.receive())))
    return false;
  shell_link->SetPath(target.c_str());
  shell_link->SetArguments(L"");
  shell_link->SetShowCmd(SW_SHOW);
  shell_link->SetIconLocation(target.c_str(), 0);
  shell_link->SetWorkingDirectory(working_folder.c_str());

  ScopedCom<IPersistFile> file;
  if (FAILED(shell_link->QueryInterface(IID_IPersistFile, file.receive()))) return false;
  return SUCCEEDED(file->Save(link.c_str(), TRUE));
}
