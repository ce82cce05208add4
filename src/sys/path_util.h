// Path helpers over wide strings. Both '\' and '/' separate.
//
// Thread affinity: none; plain functions without state.

#ifndef SYS_PATH_UTIL_H_
#define SYS_PATH_UTIL_H_

#include <string>

// The part after the last separator; the whole path when there is none.
std::wstring FileNameOf(const std::wstring& path);
// The part up to and including the last separator; empty when there is none.
std::wstring DirectoryOf(const std::wstring& path);
// "C:\" for a drive path, "\\server\share\" for a network path, else empty.
std::wstring RootOf(const std::wstring& path);
// Creates every folder named up to the path's last separator; the part after
// it is not created. False when the last creation failed or none was tried.
bool CreateDirectoryChain(const std::wstring& path);

#endif  // SYS_PATH_UTIL_H_
