#include "sys/zip_extract.h"

#include <windows.h>

#include <minizip/unzip.h>
#include <zlib.h>

#include <memory>
#include <unordered_set>
#include <vector>

#include "base/scoped_handle.h"
#include "sys/path_util.h"
#include "sys/zip_archive_reader.h"

namespace {

// Large enough that per-call overhead does not show against disk and
// inflate time; small enough to keep memory flat for any package size.
constexpr uInt kChunkBytes = 256 * 1024;
constexpr uLong kFlagEncrypted = 1u << 0;
constexpr uLong kFlagUtf8Names = 1u << 11;
constexpr uint16_t kUnicodePathField = 0x7075;  // Info-ZIP
constexpr uLong kHostUnix = 3;  // high byte of "version made by"

bool IsSeparator(wchar_t ch) { return ch == L'/' || ch == L'\\'; }

// "CON", "nul.txt", "COM1.dat" open devices instead of files.
bool IsDeviceName(const std::wstring& part) {
  std::wstring stem = part.substr(0, part.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : kDevices)
    if (lstrcmpiW(stem.c_str(), device) == 0) return true;
  return stem.size() == 4 &&
         (_wcsnicmp(stem.c_str(), L"COM", 3) == 0 || _wcsnicmp(stem.c_str(), L"LPT", 3) == 0) &&
         stem[3] >= L'1' && stem[3] <= L'9';
}

struct UnzipCloser {
  void operator()(void* file) const { unzClose(file); }
};
using ScopedUnzip = std::unique_ptr<void, UnzipCloser>;

std::wstring DecodeBytes(UINT code_page, const char* bytes, int length) {
  if (length <= 0) return std::wstring();
  DWORD flags = code_page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
  int chars = MultiByteToWideChar(code_page, flags, bytes, length, nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring text(chars, L'\0');
  MultiByteToWideChar(code_page, flags, bytes, length, &text[0], chars);
  return text;
}

// Info-ZIP writes a UTF-8 copy of a name in an extra field, tied to the raw
// name by its CRC, instead of setting flag bit 11.
bool FindUnicodePath(const std::vector<char>& extra, const std::string& raw,
                     std::wstring* name) {
  size_t pos = 0;
  while (pos + 4 <= extra.size()) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&extra[pos]);
    uint16_t id = p[0] | (p[1] << 8);
    uint16_t size = p[2] | (p[3] << 8);
    if (pos + 4 + size > extra.size()) return false;
    if (id == kUnicodePathField && size > 5 && p[4] == 1) {
      uint32_t name_crc = p[5] | (p[6] << 8) | (p[7] << 16) | (uint32_t(p[8]) << 24);
      uLong raw_crc = crc32(0, reinterpret_cast<const Bytef*>(raw.data()),
                            static_cast<uInt>(raw.size()));
      if (name_crc != raw_crc) return false;
      *name = DecodeBytes(CP_UTF8, reinterpret_cast<const char*>(p + 9), size - 5);
      return !name->empty();
    }
    pos += 4 + size;
  }
  return false;
}

struct EntryInfo {
  unz_file_info64 info;
  std::wstring name;  // as stored, separators not yet changed
};

bool ReadCurrentEntry(unzFile zip, EntryInfo* entry) {
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    return false;
  std::string raw(info.size_filename, '\0');
  std::vector<char> extra(info.size_file_extra);
  if (unzGetCurrentFileInfo64(zip, &info, raw.empty() ? nullptr : &raw[0],
                              static_cast<uLong>(raw.size()),
                              extra.empty() ? nullptr : extra.data(),
                              static_cast<uLong>(extra.size()), nullptr, 0) != UNZ_OK)
    return false;
  entry->info = info;
  int length = static_cast<int>(raw.size());
  if (info.flag & kFlagUtf8Names) {
    entry->name = DecodeBytes(CP_UTF8, raw.data(), length);
  } else if (!FindUnicodePath(extra, raw, &entry->name)) {
    // Unix tools (Info-ZIP among them) store names in UTF-8 without saying
    // so; names from Windows tools are in the OEM code page.
    bool made_on_unix = (info.version >> 8) == kHostUnix;
    if (made_on_unix) entry->name = DecodeBytes(CP_UTF8, raw.data(), length);
    if (entry->name.empty()) entry->name = DecodeBytes(CP_OEMCP, raw.data(), length);
  }
  return !entry->name.empty();
}


bool IsDirectoryEntry(const std::wstring& name) { return IsSeparator(name.back()); }

// Walks every entry; stops at the first that |visit| refuses.
template <typename Visit>
bool ForEachEntry(unzFile zip, Visit visit) {
  int status = unzGoToFirstFile(zip);
  while (status == UNZ_OK) {
    EntryInfo entry;
    if (!ReadCurrentEntry(zip, &entry) || !visit(entry)) return false;
    status = unzGoToNextFile(zip);
  }
  return status == UNZ_END_OF_LIST_OF_FILE;
}

std::wstring TargetPath(const std::wstring& folder, const std::wstring& name) {
  std::wstring path = folder;
  for (wchar_t ch : name) path += ch == L'/' ? L'\\' : ch;
  return path;
}

void SetLastWriteFromDos(HANDLE file, const tm_unz& date) {
  SYSTEMTIME local = {};
  local.wYear = static_cast<WORD>(date.tm_year);
  local.wMonth = static_cast<WORD>(date.tm_mon + 1);
  local.wDay = static_cast<WORD>(date.tm_mday);
  local.wHour = static_cast<WORD>(date.tm_hour);
  local.wMinute = static_cast<WORD>(date.tm_min);
  local.wSecond = static_cast<WORD>(date.tm_sec);
  FILETIME local_time, utc_time;
  if (SystemTimeToFileTime(&local, &local_time) &&
      LocalFileTimeToFileTime(&local_time, &utc_time))
    SetFileTime(file, nullptr, nullptr, &utc_time);
}

// Folders made during one unpacking, so that each chain of parents is
// walked once rather than for every file in it.
class FolderMaker {
 public:
  // Creates the folders up to the last separator of |path|.
  bool MakeParentsOf(const std::wstring& path) {
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    if (made_.count(folder)) return true;
    if (!CreateDirectoryChain(folder)) return false;
    made_.insert(folder);
    return true;
  }

 private:
  std::unordered_set<std::wstring> made_;
};

HANDLE CreateForWriting(const std::wstring& path) {
  // Reading attributes too: a replaced file's are looked at below.
  return CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Creating is tried before the attributes are looked at, since most targets
// are new. Windows refuses to replace a read-only file (access denied): its
// attribute is cleared and creating tried again. Wine run as root replaces
// it and keeps the attribute, so a replaced file gets it cleared too.
HANDLE CreateTarget(const std::wstring& path) {
  HANDLE file = CreateForWriting(path);
  if (file != INVALID_HANDLE_VALUE) {
    FILE_BASIC_INFO basic;
    if (GetLastError() == ERROR_ALREADY_EXISTS &&
        GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof(basic)) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
      basic = FILE_BASIC_INFO();  // zero times: left as they are
      basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
      SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
    }
    return file;
  }
  if (GetLastError() != ERROR_ACCESS_DENIED) return file;
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL))
    return file;
  return CreateForWriting(path);
}

// Streams the current entry into |path|; checks size and CRC.
bool WriteCurrentEntry(unzFile zip, const EntryInfo& entry, const std::wstring& path,
                       FolderMaker* folders, std::vector<char>* buffer) {
  if (entry.info.flag & kFlagEncrypted) return false;
  if (!folders->MakeParentsOf(path)) return false;
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;

  bool ok = false;
  {
    base::ScopedHandle file(CreateTarget(path));
    if (file.IsValid()) {
      uint64_t written = 0;
      int read;
      bool write_failed = false;
      while ((read = unzReadCurrentFile(zip, buffer->data(), kChunkBytes)) > 0) {
        DWORD done = 0;
        if (!WriteFile(file.Get(), buffer->data(), static_cast<DWORD>(read), &done,
                       nullptr) ||
            done != static_cast<DWORD>(read)) {
          write_failed = true;
          break;
        }
        written += done;
      }
      ok = !write_failed && read == 0 && written == entry.info.uncompressed_size;
      if (ok) SetLastWriteFromDos(file.Get(), entry.info.tmu_date);
    }
    // UNZ_CRCERROR when all bytes were read but the checksum differs.
    if (unzCloseCurrentFile(zip) != UNZ_OK) ok = false;
  }
  if (!ok) DeleteFileW(path.c_str());
  return ok;
}

}  // namespace

bool IsSafeEntryName(const std::wstring& name) {
  if (name.empty() || IsSeparator(name[0])) return false;
  if (name.find(L':') != std::wstring::npos) return false;
  if (name.find(L'\0') != std::wstring::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of(L"/\\", start);
    if (end == std::wstring::npos) end = name.size();
    std::wstring part = name.substr(start, end - start);
    // Windows drops trailing dots and blanks, so ". ." or "..." may act as
    // ".."; only a lone "." is harmless among such components.
    if (!part.empty() && part != L"." &&
        part.find_first_not_of(L". ") == std::wstring::npos)
      return false;
    if (IsDeviceName(part)) return false;
    start = end + 1;
  }
  return true;
}

bool ExtractZip(const std::wstring& archive, const std::wstring& folder) {
  if (folder.empty()) return false;
  // Outlives |zip|, which closes it through the table.
  ArchiveReader reader;
  zlib_filefunc64_def io = ArchiveReaderIo(&reader);
  ScopedUnzip zip(unzOpen2_64(archive.c_str(), &io));
  if (!zip) return false;

  // Every name is checked before the first byte is written.
  if (!ForEachEntry(zip.get(), [](const EntryInfo& entry) {
        return IsSafeEntryName(entry.name);
      }))
    return false;

  std::wstring base = folder;
  if (!IsSeparator(base.back())) base += L'\\';
  FolderMaker folders;
  if (!folders.MakeParentsOf(base)) return false;

  std::vector<char> buffer(kChunkBytes);
  return ForEachEntry(zip.get(), [&](const EntryInfo& entry) {
    std::wstring path = TargetPath(base, entry.name);
    if (IsDirectoryEntry(entry.name)) return folders.MakeParentsOf(path);
    return WriteCurrentEntry(zip.get(), entry, path, &folders, &buffer);
  });
}
