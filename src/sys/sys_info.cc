#include "sys/sys_info.h"

#include <nb30.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kCodeNotComputed = -1;
constexpr int kCodeUnknown = -1000;
constexpr LANGID kLangChineseSimplified = 2052;

// Read and written only through the accessors below; set once at start-up.
LANGID g_system_language = 0;
bool g_chinese_system = false;

bool ServicePackIs(const OSVERSIONINFOW& info, const wchar_t* name) {
  wchar_t text[128] = {};
  wcsncpy(text, info.szCSDVersion, 127);
  return lstrcmpiW(text, name) == 0;
}

}  // namespace

int OsVersionCodeFrom(const OSVERSIONINFOW* info) {
  if (!info || info->dwPlatformId != VER_PLATFORM_WIN32_NT) return kCodeUnknown;
  DWORD major = info->dwMajorVersion, minor = info->dwMinorVersion;
  if (major == 5) {
    if (minor == 0) return 1;
    if (minor == 1) {
      if (ServicePackIs(*info, L"Service Pack 1")) return 3;
      if (ServicePackIs(*info, L"Service Pack 2")) return 4;
      if (ServicePackIs(*info, L"Service Pack 3")) return 5;
      return 2;
    }
    if (minor == 2) return 6;
    return kCodeUnknown;
  }
  if (major == 6) {
    switch (minor) {
      case 0:
        return ServicePackIs(*info, L"Service Pack 1") ||
                       ServicePackIs(*info, L"Service Pack 2")
                   ? 8
                   : 7;
      case 1: return 9;
      case 2: return 10;
      case 3: return 11;
      default: return kCodeUnknown;
    }
  }
  if (major == 10) return 12;
  return 1000;
}

std::string OsNameFor(int code) {
  switch (code) {
    case 1: return "Windows2000";
    case 2: case 3: case 4: case 5: return "WindowsXP";
    case 6: return "WindowsServer2003";
    case 7: case 8: return "WindowsVista";
    case 9: return "Windows7";
    case 10: return "Windows8";
    case 11: return "Windows8.1";
    case 12: return "Windows11";
    default: return "unknown";
  }
}

int GetOsVersionCode() {
  static std::atomic<int> cached{kCodeNotComputed};
  int code = cached.load();
  if (code != kCodeNotComputed) return code;
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  // No manifest: newer systems report 6.2 here, which is what we want.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  BOOL ok = GetVersionExW(&info);
#pragma GCC diagnostic pop
  code = OsVersionCodeFrom(ok ? &info : nullptr);
  cached.store(code);
  return code;
}

std::string GetOsName() { return OsNameFor(GetOsVersionCode()); }

std::string GetMacAddress() {
  NCB ncb = {};
  LANA_ENUM lanas = {};
  ncb.ncb_command = NCBENUM;
  ncb.ncb_buffer = reinterpret_cast<PUCHAR>(&lanas);
  ncb.ncb_length = sizeof(lanas);
  if (Netbios(&ncb) != NRC_GOODRET || lanas.length == 0) return std::string();
  UCHAR lana = lanas.lana[0];

  memset(&ncb, 0, sizeof(ncb));
  ncb.ncb_command = NCBRESET;
  ncb.ncb_lana_num = lana;
  Netbios(&ncb);

  struct {
    ADAPTER_STATUS status;
    NAME_BUFFER names[30];
  } adapter = {};
  memset(&ncb, 0, sizeof(ncb));
  ncb.ncb_command = NCBASTAT;
  ncb.ncb_lana_num = lana;
  memcpy(ncb.ncb_callname, "*               ", NCBNAMSZ);
  ncb.ncb_buffer = reinterpret_cast<PUCHAR>(&adapter);
  ncb.ncb_length = sizeof(adapter);
  if (Netbios(&ncb) != NRC_GOODRET) return std::string();

  const UCHAR* a = adapter.status.adapter_address;
  char text[13];
  snprintf(text, sizeof(text), "%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3],
           a[4], a[5]);
  return text;
}

void LoadSystemLanguage() { SetSystemLanguage(GetSystemDefaultLangID()); }

void SetSystemLanguage(LANGID lang_id) {
  g_system_language = lang_id;
  g_chinese_system = lang_id == kLangChineseSimplified;
}

LANGID SystemLanguage() { return g_system_language; }

bool IsChineseSystem() { return g_chinese_system; }

bool GetFreeDiskBytes(const std::wstring& root, uint64_t* free_bytes) {
  ULARGE_INTEGER available, total, total_free;
  if (root.empty() ||
      !GetDiskFreeSpaceExW(root.c_str(), &available, &total, &total_free))
    return false;
  *free_bytes = total_free.QuadPart;
  return true;
}
