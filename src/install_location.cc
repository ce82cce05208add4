#include "install_location.h"

#include <regex>

#include "app_config.h"
#include "installer_texts.h"
#include "sys/path_util.h"
#include "sys/string_util.h"
#include "sys/sys_info.h"

bool IsLocationValid(const std::wstring& text) {
  static const std::wregex pattern(
      L"^[a-zA-Z]:\\\\{1}(?:[^/:*?\"<>|])*[^./:*?\"<>|]{1}$|[a-zA-Z]:\\\\");
  if (!std::regex_match(text, pattern)) return false;
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
