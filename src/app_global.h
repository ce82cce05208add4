// The process-wide installation record and the values set at entry.
//
// Thread affinity: CGlobal has no lock. Start-up fills it on ui_thread; the
// installer flow says which thread touches which field later.

#ifndef APP_GLOBAL_H_
#define APP_GLOBAL_H_

#include <windows.h>

#include <cstdint>
#include <string>

// The utility window's identity; a second instance finds the first by it.
constexpr wchar_t kUtilityWindowClass[] = L"AppInstallerWindow";
constexpr wchar_t kUtilityWindowTitle[] = L"65E6B66785CEC64B329";
constexpr LONG_PTR kInstanceMarker = 0x746A04DE;
// Private messages of the utility window.
constexpr UINT kMsgDestroyWindow = 0x1120C;  // LPARAM: a window to destroy
constexpr UINT kMsgShowExisting = 0x1120D;   // restore and redraw the main window

class CGlobal {
 public:
  // Reads the MAC address, the OS name and this program's FileDescription.
  CGlobal();
  virtual ~CGlobal() = default;
  CGlobal(const CGlobal&) = delete;
  CGlobal& operator=(const CGlobal&) = delete;

  HWND utility_hwnd = nullptr;
  LANGID lang_id = 0;
  bool is_chinese = false;      // lang_id is 0x0804
  std::string download_url;     // from the service answer
  std::string mac_address;      // 12 upper-case hex digits, or empty
  std::string os_name;          // the request's platform value
  std::wstring zip_path;        // install root at entry; later the package path
  std::wstring install_dir;     // install root at entry; later the location
  std::string file_description; // of this program's version resource
  uint64_t zip_size = 0;        // from the service answer
  uint64_t install_size = 0;    // from the service answer
  std::string package_sha256;   // from the service answer; empty: none vouched
};

CGlobal& Global();

// Set at entry.
HINSTANCE AppInstance();
void SetAppInstance(HINSTANCE instance);
UINT TaskbarButtonCreatedMessage();
void SetTaskbarButtonCreatedMessage(UINT message);

#endif  // APP_GLOBAL_H_
