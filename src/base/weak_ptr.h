// Weak references: a receiver that may disappear before a call bound to it.
//
// WeakFlag is shared between an owner (WeakFlagOwner) and the WeakPtrs it
// handed out. The owner invalidates the flag when it goes; every WeakPtr then
// yields null. Thread affinity: the flag's count is interlocked, but validity
// is written and read on the owner's thread only.

#ifndef BASE_WEAK_PTR_H_
#define BASE_WEAK_PTR_H_

#include "base/obj_wrapper.h"
#include "base/ref_counted.h"

namespace base {

class WeakFlag : public RefCountedThreadSafe<WeakFlag> {
 public:
  bool IsValid() const { return valid_; }
  void Invalidate() { valid_ = false; }

 private:
  friend class RefCountedThreadSafe<WeakFlag>;
  ~WeakFlag() override = default;

  bool valid_ = true;
};

// Embedded in an object that hands out weak pointers to itself. Destroying
// the owner invalidates every pointer handed out so far.
class WeakFlagOwner {
 public:
  WeakFlagOwner() = default;
  ~WeakFlagOwner() { Invalidate(); }
  WeakFlagOwner(const WeakFlagOwner&) = delete;
  WeakFlagOwner& operator=(const WeakFlagOwner&) = delete;

  // A fresh flag is made when none is held or nobody else holds the old one.
  scoped_refptr<WeakFlag> GetFlag() {
    if (!flag_ || flag_->HasOneRef()) flag_ = new WeakFlag;
    return flag_;
  }

  void Invalidate() {
    if (flag_) flag_->Invalidate();
    flag_ = nullptr;
  }

  bool HasWeakPointers() const { return flag_ && !flag_->HasOneRef(); }

 private:
  scoped_refptr<WeakFlag> flag_;
};

template <class T>
class WeakPtr : public ObjWrapper<T> {
 public:
  WeakPtr() = default;
  WeakPtr(scoped_refptr<WeakFlag> flag, T* target)
      : flag_(std::move(flag)), target_(target) {}
  WeakPtr(const WeakPtr&) = default;
  WeakPtr& operator=(const WeakPtr&) = default;

  T* Get() const override {
    return flag_ && flag_->IsValid() ? target_ : nullptr;
  }
  void RetainTarget() override {}
  void ReleaseTarget() override {}
  bool IsWeak() const override { return true; }

 private:
  scoped_refptr<WeakFlag> flag_;
  T* target_ = nullptr;
};

// A wrapper for MakeTask: the call is skipped once |ptr|'s owner is gone.
template <class T>
std::unique_ptr<ObjWrapper<T>> WrapWeak(const WeakPtr<T>& ptr) {
  return std::make_unique<WeakPtr<T>>(ptr);
}

}  // namespace base

#endif  // BASE_WEAK_PTR_H_
