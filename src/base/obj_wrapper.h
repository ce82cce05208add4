// Receiver wrappers: how a bound member call holds on to its receiver.
//
//   NormalWrapper      keeps the receiver alive (it must be RefCountedThreadSafe)
//   UnretainedWrapper  does not; the caller guarantees the receiver outlives
//                      every call bound through it
//   WeakPtr            (weak_ptr.h) yields null once the receiver's owner is gone
//
// A wrapper is owned by the entity it is handed to (see delegate.h); the
// entity calls RetainTarget once when built and ReleaseTarget once when freed.

#ifndef BASE_OBJ_WRAPPER_H_
#define BASE_OBJ_WRAPPER_H_

#include <memory>

namespace base {

template <class T>
class ObjWrapper {
 public:
  virtual ~ObjWrapper() = default;
  // The receiver, or null when a weak receiver is gone.
  virtual T* Get() const = 0;
  virtual void RetainTarget() = 0;
  virtual void ReleaseTarget() = 0;
  virtual bool IsWeak() const = 0;
};

template <class T>
class NormalWrapper : public ObjWrapper<T> {
 public:
  explicit NormalWrapper(T* target) : target_(target) {}

  T* Get() const override { return target_; }
  void RetainTarget() override {
    if (target_) target_->AddRef();
  }
  void ReleaseTarget() override {
    if (target_) target_->Release();
  }
  bool IsWeak() const override { return false; }

 private:
  T* target_;
};

template <class T>
class UnretainedWrapper : public ObjWrapper<T> {
 public:
  explicit UnretainedWrapper(T* target) : target_(target) {}

  T* Get() const override { return target_; }
  void RetainTarget() override {}
  void ReleaseTarget() override {}
  bool IsWeak() const override { return false; }

 private:
  T* target_;
};

// The wrapper only stores the pointer; the entity built from it takes the
// receiver reference.
template <class T>
std::unique_ptr<ObjWrapper<T>> WrapRetained(T* target) {
  return std::make_unique<NormalWrapper<T>>(target);
}

template <class T>
std::unique_ptr<ObjWrapper<T>> WrapUnretained(T* target) {
  return std::make_unique<UnretainedWrapper<T>>(target);
}

}  // namespace base

#endif  // BASE_OBJ_WRAPPER_H_
