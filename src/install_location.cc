#include "install_location.h"

#include <windows.h>

#include <vector>

#include "app_config.h"
#include "base/scoped_handle.h"
#include "installer_texts.h"
#include "sys/path_util.h"
#include "sys/string_util.h"
#include "sys/sys_info.h"

namespace {

constexpr size_t kMaxFolderChars = MAX_PATH - 12;

bool IsForbiddenInPath(wchar_t ch) {
  return ch == L'/' || ch == L':' || ch == L'*' || ch == L'?' || ch == L'"' || ch == L'<' ||
         ch == L'>' || ch == L'|';
}

}  // namespace

// The drive, a colon and one backslash, then either nothing or characters
// outside /:*?"<>| of which the last is no dot; no doubled backslash and no
// component that starts or ends with a dot. Checked by hand: a regular
// expression recurses once per character of typed or pasted text.
bool IsLocationValid(const std::wstring& text) {
  if (text.size() < 3) return false;
  wchar_t drive = text[0];
  bool letter = (drive >= L'a' && drive <= L'z') || (drive >= L'A' && drive <= L'Z');
  if (!letter || text[1] != L':' || text[2] != L'\\') return false;
  for (size_t i = 3; i < text.size(); ++i) {
    if (IsForbiddenInPath(text[i])) return false;
  }
  if (text.size() > 3 && text.back() == L'.') return false;
  return text.find(L"\\\\") == std::wstring::npos && text.find(L".\\") == std::wstring::npos &&
         text.find(L"\\.") == std::wstring::npos;
}

std::wstring InstallFolderFor(const std::wstring& location) {
  return location + L"\\" + AnsiToWide(config::kProductId);
}

std::wstring PackagePathFor(const std::wstring& location, int64_t unix_seconds) {
  return InstallFolderFor(location) + L"\\AppPackZip" + std::to_wstring(unix_seconds) + L".zip";
}

std::wstring LocationFromText(const std::wstring& text) {
  if (!text.empty() && text.back() == L'\\') return text.substr(0, text.size() - 1);
  return text;
}

uint64_t NeededBytes(uint64_t zip_size, uint64_t install_size) {
  return kSpaceReserve + zip_size + install_size;
}

bool HasEnoughSpace(const std::wstring& package_path, uint64_t zip_size, uint64_t install_size) {
  uint64_t free_bytes = 0;
  if (!GetFreeDiskBytes(RootOf(package_path), &free_bytes)) return false;
  return free_bytes >= NeededBytes(zip_size, install_size);
}

std::wstring ShortageText(bool chinese, uint64_t needed_bytes) {
  return ReplaceAll(InstallerText(kTextShortage, chinese), L"{SPACESIZE}",
                    FormatGigabytes(needed_bytes));
}

bool MakeInstallFolders(const std::wstring& install_folder, const std::wstring& package_path) {
  // The limits Windows sets a program that is not long-path aware (a folder
  // leaves room for an 8.3 name); Wine does not enforce them, so they are
  // checked here, before anything is made.
  if (install_folder.size() > kMaxFolderChars || package_path.size() >= MAX_PATH) return false;
  std::vector<std::wstring> created;
  bool made = CreateDirectoryChain(install_folder + L"\\", &created) &&
              CreateDirectoryChain(DirectoryOf(package_path), &created);
  if (made) {
    // The package file itself: a path too long for the system shows here.
    base::ScopedHandle probe(CreateFileW(package_path.c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_NEW,
                                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                         nullptr));
    made = probe.IsValid() || GetLastError() == ERROR_FILE_EXISTS;
  }
  if (!made) {
    for (auto folder = created.rbegin(); folder != created.rend(); ++folder)
      RemoveDirectoryW(folder->c_str());
  }
  return made;
}
