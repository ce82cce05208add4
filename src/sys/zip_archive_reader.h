#ifndef ORV_SYS_ZIP_ARCHIVE_READER_H_
#define ORV_SYS_ZIP_ARCHIVE_READER_H_

#include <windows.h>

#include <minizip/unzip.h>

#include <cstdint>
#include <vector>

#include "base/scoped_handle.h"

// A zip archive as minizip reads it, for unpacking. minizip reads headers a
// byte or a field at a time and data 16 KiB at a time, each read after a
// seek; under Wine every one of those is a system call. The archive is
// therefore read through two windows of memory: one ends up on the central
// directory, the other streams through the entries, so going back and forth
// between the two costs no read. Reads at least a window long go straight to
// the file. Offsets are 64-bit (archives over 4 GiB).
class ArchiveReader {
 public:
  ArchiveReader();

  bool Open(const wchar_t* path);
  void Close() { file_.Close(); }
  bool failed() const { return failed_; }
  uint64_t Tell() const { return pos_; }
  bool Seek(uint64_t offset, int origin);  // ZLIB_FILEFUNC_SEEK_*
  uLong Read(void* out, uLong size);

 private:
  static constexpr DWORD kWindowBytes = 256 * 1024;

  struct Window {
    std::vector<char> bytes;
    uint64_t start = 0;
    size_t length = 0;
    uint64_t last_use = 0;
  };

  Window* WindowHolding(uint64_t pos);
  Window* WindowToRefill(uint64_t pos);
  bool ReadAt(uint64_t offset, void* out, DWORD size, DWORD* done);

  base::ScopedHandle file_;
  uint64_t size_ = 0;
  uint64_t pos_ = 0;
  Window windows_[2];
  uint64_t uses_ = 0;
  bool failed_ = false;
};

// minizip's I/O table over |reader|, which is both its opaque pointer and
// its one stream; |reader| must outlive the archive opened through it.
zlib_filefunc64_def ArchiveReaderIo(ArchiveReader* reader);

#endif  // ORV_SYS_ZIP_ARCHIVE_READER_H_
