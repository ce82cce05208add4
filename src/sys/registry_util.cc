#include "sys/registry_util.h"

bool WriteRegistryString(HKEY root, const std::wstring& subkey,
                         const std::wstring& value_name, const std::wstring& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  LONG result = RegSetValueExW(key, value_name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(text.c_str()), bytes);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}
