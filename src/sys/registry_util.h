// Registry writes (the autorun value).
//
// Thread affinity: any thread.

#ifndef SYS_REGISTRY_UTIL_H_
#define SYS_REGISTRY_UTIL_H_

#include <windows.h>

#include <string>

// Stores |text| as the REG_SZ |value_name| under |root|\|subkey| (64-bit
// view), creating the key when needed. False when the key cannot be opened
// or the value not written.
bool WriteRegistryString(HKEY root, const std::wstring& subkey,
                         const std::wstring& value_name, const std::wstring& text);

#endif  // SYS_REGISTRY_UTIL_H_
