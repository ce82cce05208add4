// Owners of COM state: one interface pointer, and one initialisation of
// COM (or of OLE, which the shell's new-style folder picker needs) on the
// calling thread.
//
// Thread affinity: each object is used, and goes, on the thread that made
// it; an initialisation must end on its own thread.

#ifndef SYS_SCOPED_COM_H_
#define SYS_SCOPED_COM_H_

#include <objbase.h>
#include <ole2.h>

// Owns one COM interface pointer.
template <typename T>
class ScopedCom {
 public:
  ScopedCom() = default;
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;
  ~ScopedCom() { reset(); }
  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  // For CoCreateInstance and QueryInterface; releases what was held.
  void** receive() {
    reset();
    return reinterpret_cast<void**>(&ptr_);
  }
  void reset() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }

 private:
  T* ptr_ = nullptr;
};

// CoInitialize for the object's lifetime (balanced only when it succeeded).
class ScopedComInit {
 public:
  ScopedComInit() : result_(CoInitialize(nullptr)) {}
  ~ScopedComInit() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  HRESULT result_;
};

// OleInitialize for the object's lifetime.
class ScopedOleInit {
 public:
  ScopedOleInit() : result_(OleInitialize(nullptr)) {}
  ~ScopedOleInit() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  ScopedOleInit(const ScopedOleInit&) = delete;
  ScopedOleInit& operator=(const ScopedOleInit&) = delete;

 private:
  HRESULT result_;
};

#endif  // SYS_SCOPED_COM_H_
