// Owns a kernel HANDLE and closes it when it goes.
//
// Thread affinity: none; the owner decides. Copying is deleted because two
// owners would close the handle twice.

#ifndef BASE_SCOPED_HANDLE_H_
#define BASE_SCOPED_HANDLE_H_

#include <windows.h>

namespace base {

class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  // Null and INVALID_HANDLE_VALUE both count as "no handle".
  bool IsValid() const {
    return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
  }
  HANDLE Get() const { return handle_; }

  void Set(HANDLE handle) {
    Close();
    handle_ = handle;
  }

  void Close() {
    if (IsValid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace base

#endif  // BASE_SCOPED_HANDLE_H_
