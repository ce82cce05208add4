#include "sys/file_version.h"

#include <cstdio>

namespace {

// Larger blocks are refused: the request builder only needs the fixed part.
constexpr DWORD kMaxVersionBlock = 0x3FFF;

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

}  // namespace

std::wstring GetModuleFileVersion(HMODULE module) {
  std::wstring path = ModulePath(module);
  if (path.empty()) return std::wstring();
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  if (size == 0 || size > kMaxVersionBlock) return std::wstring();
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::wstring();
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) ||
      !fixed || fixed_size < sizeof(VS_FIXEDFILEINFO))
    return std::wstring();
  wchar_t text[64];
  swprintf(text, 64, L"%d.%d.%d.%d", HIWORD(fixed->dwFileVersionMS),
           LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
           LOWORD(fixed->dwFileVersionLS));
  return text;
}

bool FileVersionInfo::Open(const std::wstring& path) {
  block_.clear();
  std::wstring file = path.empty() ? ModulePath(nullptr) : path;
  if (file.empty()) return false;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), nullptr);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return false;
  WORD* pair = nullptr;
  UINT pair_size = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&pair), &pair_size) ||
      !pair || pair_size < 2 * sizeof(WORD))
    return false;
  translation_ = (static_cast<uint32_t>(pair[0]) << 16) | pair[1];
  block_ = std::move(block);
  return true;
}

std::wstring FileVersionInfo::GetString(const std::wstring& name,
                                        uint32_t translation) const {
  if (block_.empty()) return std::wstring();
  wchar_t sub_block[256];
  swprintf(sub_block, 256, L"\\StringFileInfo\\%08lx\\%ls",
           static_cast<unsigned long>(translation ? translation : translation_),
           name.c_str());
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block_.data(), sub_block, reinterpret_cast<void**>(&value), &length) ||
      !value)
    return std::wstring();
  // The length may count the terminating zero.
  std::wstring text(value, length);
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}
