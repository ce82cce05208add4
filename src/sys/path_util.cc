#include "sys/path_util.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

constexpr size_t kMaxPathChars = MAX_PATH;

size_t LastSeparator(const std::wstring& path) {
  return path.find_last_of(L"\\/");
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path) {
  size_t pos = LastSeparator(path);
  return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

std::wstring DirectoryOf(const std::wstring& path) {
  size_t pos = LastSeparator(path);
  return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

std::wstring RootOf(const std::wstring& path) {
  size_t colon = path.find(L':');
  if (colon != std::wstring::npos) return path.substr(0, colon + 1) + L"\\";
  if (path.compare(0, 2, L"\\\\") == 0) {
    size_t server_end = path.find(L'\\', 2);
    if (server_end == std::wstring::npos) return std::wstring();
    size_t share_end = path.find(L'\\', server_end + 1);
    if (share_end == std::wstring::npos) return std::wstring();
    return path.substr(0, share_end + 1);
  }
  return std::wstring();
}

bool CreateDirectoryChain(const std::wstring& path, std::vector<std::wstring>* created) {
  if (path.empty()) return false;
  if (PathIsRootW(path.c_str())) return true;
  if (path.size() > kMaxPathChars) return false;

  bool result = false;
  size_t pos = 0;
  while (pos < path.size()) {
    // Separators in path order: "a/b\c" creates "a", then "a/b".
    size_t sep = path.find_first_of(L"\\/", pos);
    if (sep == std::wstring::npos) break;
    if (sep > 0) {
      std::wstring prefix = path.substr(0, sep);
      // A file of that name is in the way, not a folder that exists.
      DWORD attributes;
      bool made = CreateDirectoryW(prefix.c_str(), nullptr) != FALSE;
      if (made && created) created->push_back(prefix);
      result = made ||
               (GetLastError() == ERROR_ALREADY_EXISTS &&
                (attributes = GetFileAttributesW(prefix.c_str())) != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }
    pos = sep + 1;
  }
  return result;
}

int ForceDeleteFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return 1;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileW(path.c_str())) return 1;
  std::wstring aside = path + L".tmp";
  if (MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    if (DeleteFileW(aside.c_str())) return 0;
    MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  } else {
    MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
  return 0;
}

std::wstring GetSpecialFolder(int csidl, bool create) {
  wchar_t path[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, create ? TRUE : FALSE))
    return std::wstring();
  return path;
}
