// The controller's messages. Three follow the system language; the failure
// messages are English in both languages.

#ifndef INSTALLER_TEXTS_H_
#define INSTALLER_TEXTS_H_

#include <string>

enum InstallerTextId { kTextInstalling, kTextServerError, kTextShortage };

std::wstring InstallerText(InstallerTextId id, bool chinese);

constexpr wchar_t kTextNoDiskSpace[] = L"Not enough disk space";
constexpr wchar_t kTextCannotConnect[] = L"Unable connect to server";
constexpr wchar_t kTextFileOccupied[] = L"File is occupied";
constexpr wchar_t kTextSelectFolder[] = L"Please select a folder";

#endif  // INSTALLER_TEXTS_H_
