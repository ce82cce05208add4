// Where the game goes: the location rule, the package path, the space
// check and its message.
//
// Thread affinity: none; plain functions.

#ifndef INSTALL_LOCATION_H_
#define INSTALL_LOCATION_H_

#include <cstdint>
#include <string>

// Space kept free beside the package and the game.
constexpr uint64_t kSpaceReserve = 1073741824ULL;

// A drive path with one backslash after the colon, no forbidden characters,
// no doubled backslash and no component starting or ending with a dot.
bool IsLocationValid(const std::wstring& text);
// "<location>\ORVChina"
std::wstring InstallFolderFor(const std::wstring& location);
// "<location>\ORVChina\AppPackZip<seconds>.zip"
std::wstring PackagePathFor(const std::wstring& location, int64_t unix_seconds);
// The custom panel's text as a location: one trailing backslash removed.
std::wstring LocationFromText(const std::wstring& text);

// Reserve + package + installed size.
uint64_t NeededBytes(uint64_t zip_size, uint64_t install_size);
// Free bytes of the volume of |package_path| against NeededBytes; a volume
// that cannot be read has too little.
bool HasEnoughSpace(const std::wstring& package_path, uint64_t zip_size, uint64_t install_size);
// Makes the install folder and the package's folder and checks that the
// package file can be created there, so a location below a file or longer
// than the system allows fails now rather than at every download attempt.
// On failure the folders this call made are removed again. File system:
// run on file_thread.
bool MakeInstallFolders(const std::wstring& install_folder, const std::wstring& package_path);
// The shortage text with "{SPACESIZE}" replaced by the needed size.
std::wstring ShortageText(bool chinese, uint64_t needed_bytes);

#endif  // INSTALL_LOCATION_H_
