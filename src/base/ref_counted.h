// Thread-safe reference counting for objects shared across threads, and the
// owning pointer that holds one reference.
//
// Thread affinity: AddRef and Release may be called from any thread; the last
// Release destroys the object on whichever thread made it.
// Ownership: a new object starts at count 0; its creator takes the first
// reference (usually by putting it into a scoped_refptr).

#ifndef BASE_REF_COUNTED_H_
#define BASE_REF_COUNTED_H_

#include <atomic>
#include <utility>

namespace base {

namespace subtle {

class RefCountedThreadSafeBase {
 public:
  RefCountedThreadSafeBase(const RefCountedThreadSafeBase&) = delete;
  RefCountedThreadSafeBase& operator=(const RefCountedThreadSafeBase&) = delete;

  bool HasOneRef() const { return ref_count_.load() == 1; }

 protected:
  RefCountedThreadSafeBase() = default;
  ~RefCountedThreadSafeBase() = default;

  void AddRefImpl() const { ref_count_.fetch_add(1); }
  // True when this call dropped the last reference.
  bool ReleaseImpl() const { return ref_count_.fetch_sub(1) == 1; }

 private:
  mutable std::atomic<long> ref_count_{0};
};

}  // namespace subtle

template <class T, class Traits>
class RefCountedThreadSafe;

template <class T>
struct DefaultRefCountedThreadSafeTraits {
  static void Destruct(const T* object) {
    RefCountedThreadSafe<T, DefaultRefCountedThreadSafeTraits>::DeleteInternal(object);
  }
};

// Derive as `class Foo : public base::RefCountedThreadSafe<Foo>`; a private
// destructor needs `friend class base::RefCountedThreadSafe<Foo>;`. The
// destructor is virtual so that a receiver bound through a base class is
// destroyed whole.
template <class T, class Traits = DefaultRefCountedThreadSafeTraits<T>>
class RefCountedThreadSafe : public subtle::RefCountedThreadSafeBase {
 public:
  void AddRef() const { AddRefImpl(); }
  void Release() const {
    if (ReleaseImpl()) Traits::Destruct(static_cast<const T*>(this));
  }

 protected:
  RefCountedThreadSafe() = default;
  virtual ~RefCountedThreadSafe() = default;

 private:
  friend struct DefaultRefCountedThreadSafeTraits<T>;
  static void DeleteInternal(const T* object) { delete object; }
};

// Holds one reference to a counted object (anything with AddRef/Release).
template <class T>
class scoped_refptr {
 public:
  scoped_refptr() = default;
  scoped_refptr(T* p) : ptr_(p) {  // NOLINT: implicit by design
    if (ptr_) ptr_->AddRef();
  }
  scoped_refptr(const scoped_refptr& other) : scoped_refptr(other.ptr_) {}
  scoped_refptr(scoped_refptr&& other) noexcept : ptr_(other.ptr_) {
    other.ptr_ = nullptr;
  }
  ~scoped_refptr() {
    if (ptr_) ptr_->Release();
  }

  scoped_refptr& operator=(scoped_refptr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  T& operator*() const { return *ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

 private:
  T* ptr_ = nullptr;
};

}  // namespace base

#endif  // BASE_REF_COUNTED_H_
