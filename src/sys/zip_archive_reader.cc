#include "sys/zip_archive_reader.h"

#include <algorithm>
#include <cstring>

ArchiveReader::ArchiveReader() {
  for (Window& window : windows_) window.bytes.resize(kWindowBytes);
}

bool ArchiveReader::Open(const wchar_t* path) {
  file_.Set(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file_.IsValid() || !GetFileSizeEx(file_.Get(), &size)) {
    file_.Close();
    return false;
  }
  size_ = static_cast<uint64_t>(size.QuadPart);
  return true;
}

bool ArchiveReader::Seek(uint64_t offset, int origin) {
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: pos_ = offset; return true;
    case ZLIB_FILEFUNC_SEEK_CUR: pos_ += offset; return true;
    case ZLIB_FILEFUNC_SEEK_END: pos_ = size_ + offset; return true;
  }
  return false;
}

uLong ArchiveReader::Read(void* out, uLong size) {
  char* dest = static_cast<char*>(out);
  uLong total = 0;
  while (total < size) {
    uLong left = size - total;
    Window* window = WindowHolding(pos_);
    if (!window) {
      if (left >= kWindowBytes) {
        DWORD done = 0;
        if (!ReadAt(pos_, dest + total, static_cast<DWORD>(left), &done)) break;
        pos_ += done;
        total += done;
        break;
      }
      window = WindowToRefill(pos_);
      window->start = pos_;
      DWORD done = 0;
      if (!ReadAt(pos_, window->bytes.data(), kWindowBytes, &done)) done = 0;
      window->length = done;
      if (done == 0) break;  // end of file or error
    }
    size_t offset = static_cast<size_t>(pos_ - window->start);
    size_t count = std::min<size_t>(left, window->length - offset);
    memcpy(dest + total, window->bytes.data() + offset, count);
    window->last_use = ++uses_;
    pos_ += count;
    total += static_cast<uLong>(count);
  }
  return total;
}

ArchiveReader::Window* ArchiveReader::WindowHolding(uint64_t pos) {
  for (Window& window : windows_)
    if (pos >= window.start && pos - window.start < window.length) return &window;
  return nullptr;
}

// A read that continues where a window ends moves that window on, so the
// one left on the central directory survives streaming through data.
ArchiveReader::Window* ArchiveReader::WindowToRefill(uint64_t pos) {
  Window* oldest = &windows_[0];
  for (Window& window : windows_) {
    if (window.length && window.start + window.length == pos) return &window;
    if (window.last_use < oldest->last_use) oldest = &window;
  }
  return oldest;
}

// An offset in OVERLAPPED reads there on a synchronous handle: no seek.
bool ArchiveReader::ReadAt(uint64_t offset, void* out, DWORD size, DWORD* done) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  if (ReadFile(file_.Get(), out, size, done, &at)) return true;
  *done = 0;
  if (GetLastError() == ERROR_HANDLE_EOF) return true;
  failed_ = true;
  return false;
}

namespace {

voidpf ZCALLBACK ReaderOpen(voidpf opaque, const void* filename, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  auto* reader = static_cast<ArchiveReader*>(opaque);
  return reader->Open(static_cast<const wchar_t*>(filename)) ? reader : nullptr;
}
uLong ZCALLBACK ReaderRead(voidpf, voidpf stream, void* buf, uLong size) {
  return static_cast<ArchiveReader*>(stream)->Read(buf, size);
}
uLong ZCALLBACK ReaderWrite(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK ReaderTell(voidpf, voidpf stream) {
  return static_cast<ArchiveReader*>(stream)->Tell();
}
long ZCALLBACK ReaderSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  return static_cast<ArchiveReader*>(stream)->Seek(offset, origin) ? 0 : -1;
}
int ZCALLBACK ReaderClose(voidpf, voidpf stream) {
  static_cast<ArchiveReader*>(stream)->Close();
  return 0;
}
int ZCALLBACK ReaderError(voidpf, voidpf stream) {
  return static_cast<ArchiveReader*>(stream)->failed() ? 1 : 0;
}

}  // namespace

zlib_filefunc64_def ArchiveReaderIo(ArchiveReader* reader) {
  return {ReaderOpen, ReaderRead, ReaderWrite, ReaderTell,
          ReaderSeek, ReaderClose, ReaderError, reader};
}
