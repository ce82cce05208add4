// Path helpers over wide strings. Both '\' and '/' separate.
//
// Thread affinity: none; plain functions without state.

#ifndef SYS_PATH_UTIL_H_
#define SYS_PATH_UTIL_H_

#include <string>
#include <vector>

// The part after the last separator; the whole path when there is none.
std::wstring FileNameOf(const std::wstring& path);
// The part up to and including the last separator; empty when there is none.
std::wstring DirectoryOf(const std::wstring& path);
// "C:\" for a drive path, "\\server\share\" for a network path, else empty.
std::wstring RootOf(const std::wstring& path);
// Creates every folder named up to the path's last separator; the part after
// it is not created. False when the last folder is not there afterwards (a
// file of its name included) or none was tried.
// |created|, when given, receives the folders this call made, outermost first.
bool CreateDirectoryChain(const std::wstring& path,
                          std::vector<std::wstring>* created = nullptr);

// Deletes a file: plain delete, else rename to "<path>.tmp" and delete, else
// delete at the next restart. 1 when it is gone or was never there (or is a
// folder), 0 when only the fallbacks were left.
int ForceDeleteFile(const std::wstring& path);
// The path of a shell special folder (a CSIDL), or empty.
std::wstring GetSpecialFolder(int csidl, bool create);

#endif  // SYS_PATH_UTIL_H_
