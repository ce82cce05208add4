// Bound-call entities: a function or member function together with its
// receiver and copies of its arguments, to be run later, maybe on another
// thread.
//
// Ownership: an entity counts its holders with a plain (not interlocked)
// count; its only holder is a Task (task.h), whose own count is interlocked.
// A member entity owns its receiver wrapper and calls RetainTarget once when
// built and ReleaseTarget once when its count reaches zero, on whichever
// thread drops it.

#ifndef BASE_DELEGATE_H_
#define BASE_DELEGATE_H_

#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>

#include "base/obj_wrapper.h"

namespace fastdelegate {

class CCounter {
 public:
  virtual ~CCounter() = default;
  virtual int AddRef() = 0;
  // Destroys the object when the count reaches zero.
  virtual int Release() = 0;
};

template <class R>
class ExecDelegate : public CCounter {
 public:
  virtual R Exec() = 0;
};

// A free function of one parameter with its stored argument.
template <class P, class A, class R>
class FunctionEntity1 : public ExecDelegate<R> {
 public:
  using Function = R (*)(P);

  FunctionEntity1(Function function, A argument)
      : function_(function), argument_(std::move(argument)) {}

  int AddRef() override { return ++count_; }
  int Release() override {
    int count = --count_;
    if (count == 0) delete this;
    return count;
  }

  R Exec() override {
    if (!function_) return R();
    return function_(argument_);
  }

 private:
  Function function_;
  A argument_;
  int count_ = 1;
};

// A member function of T taking Params, bound to a receiver through wrapper
// W, with the arguments stored by value (a const reference parameter gets a
// reference to the stored copy).
template <class T, class W, class R, class... Params>
class DelegateEntity : public ExecDelegate<R> {
 public:
  using Method = R (T::*)(Params...);

  template <class... Args>
  DelegateEntity(std::unique_ptr<W> wrapper, T* receiver, Method method,
                 Args&&... args)
      : wrapper_(std::move(wrapper)),
        receiver_(receiver),
        method_(method),
        arguments_(std::forward<Args>(args)...) {
    wrapper_->RetainTarget();
  }

  int AddRef() override { return ++count_; }
  int Release() override {
    int count = --count_;
    if (count == 0) {
      wrapper_->ReleaseTarget();
      delete this;
    }
    return count;
  }

  R Exec() override {
    if (wrapper_->IsWeak() && wrapper_->Get() == nullptr) return R();
    if (!receiver_ || !method_) return R();
    return Call(std::index_sequence_for<Params...>());
  }

 private:
  template <size_t... I>
  R Call(std::index_sequence<I...>) {
    return (receiver_->*method_)(std::get<I>(arguments_)...);
  }

  std::unique_ptr<W> wrapper_;
  T* receiver_;
  Method method_;
  int count_ = 1;
  std::tuple<std::decay_t<Params>...> arguments_;
};

template <class T, class W, class R>
using DelegateEntity0 = DelegateEntity<T, W, R>;
template <class T, class W, class P1, class R>
using DelegateEntity1 = DelegateEntity<T, W, R, P1>;
template <class T, class W, class P1, class P2, class R>
using DelegateEntity2 = DelegateEntity<T, W, R, P1, P2>;
template <class T, class W, class P1, class P2, class P3, class P4, class R>
using DelegateEntity4 = DelegateEntity<T, W, R, P1, P2, P3, P4>;

}  // namespace fastdelegate

#endif  // BASE_DELEGATE_H_
