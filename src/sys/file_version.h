// Version resources of executables.
//
// Thread affinity: any thread. FileVersionInfo owns a copy of one file's
// version block; it is not shared between threads.

#ifndef SYS_FILE_VERSION_H_
#define SYS_FILE_VERSION_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The fixed file version of |module| (null: this executable) as
// "major.minor.build.revision", or empty.
std::wstring GetModuleFileVersion(HMODULE module);

class FileVersionInfo {
 public:
  // Loads the version block of |path| (empty: this executable). False when
  // the file has no readable block or no translation table.
  bool Open(const std::wstring& path);
  // A StringFileInfo value, e.g. "FileDescription". |translation| is
  // language << 16 | code page; 0 uses the file's first translation.
  std::wstring GetString(const std::wstring& name, uint32_t translation = 0) const;

 private:
  std::vector<char> block_;    // empty until Open succeeds
  uint32_t translation_ = 0;   // the block's first translation
};

#endif  // SYS_FILE_VERSION_H_
