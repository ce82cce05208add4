// Facts about the machine: OS version code and name, system language, MAC
// address, free disk space.
//
// Thread affinity: any thread. The version code is computed once; the
// language values are written once at start-up before other threads run.

#ifndef SYS_SYS_INFO_H_
#define SYS_SYS_INFO_H_

#include <windows.h>

#include <cstdint>
#include <string>

// Version code of a version record (null: the query failed). 1 Windows 2000,
// 2..5 XP by service pack, 6 Server 2003, 7/8 Vista, 9 Windows 7, 10 Windows
// 8 (and anything newer without a manifest), 11 Windows 8.1, 12 major 10,
// 1000 another NT major, -1000 unknown.
int OsVersionCodeFrom(const OSVERSIONINFOW* info);
// The request's platform name for a version code ("unknown" if none).
std::string OsNameFor(int code);

// The code of this machine, computed at first use and cached.
int GetOsVersionCode();
std::string GetOsName();

// 12 upper-case hex digits of the first NetBIOS adapter, or empty.
std::string GetMacAddress();

// Reads the system default language id and sets the Chinese flag (2052).
void LoadSystemLanguage();
// Sets both values as LoadSystemLanguage would for |lang_id|.
void SetSystemLanguage(LANGID lang_id);
LANGID SystemLanguage();
bool IsChineseSystem();

// Total free bytes of a volume root ("C:\" or "\\server\share\"). False when
// the volume cannot be queried.
bool GetFreeDiskBytes(const std::wstring& root, uint64_t* free_bytes);

#endif  // SYS_SYS_INFO_H_
