// Task: the unit that message loops queue. It holds one bound call (a member
// call or a free function call, delegate.h) and runs it at most once.
//
// Thread affinity: built on the posting thread, run on the loop's thread.
// Ownership: interlocked count, starting at 0; queue entries (and
// scoped_refptr holders) take references. The last release frees the entity,
// which releases the receiver, on whichever thread drops it.
//
//   loop->PostNow(MakeTask(base::WrapRetained(this), &Foo::Step, 42));

#ifndef BASE_TASK_H_
#define BASE_TASK_H_

#include <atomic>
#include <memory>
#include <type_traits>
#include <utility>

#include "base/delegate.h"
#include "base/obj_wrapper.h"
#include "base/ref_counted.h"

class Task {
 public:
  using Entity = fastdelegate::ExecDelegate<void>;

  // Takes over one count of each entity given.
  static Task* FromEntities(Entity* function_entity, Entity* member_entity);

  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

  void Run();

  void AddRef() { ref_count_.fetch_add(1); }
  void Release();

 private:
  Task(Entity* function_entity, Entity* member_entity)
      : function_entity_(function_entity), member_entity_(member_entity) {}
  ~Task();

  std::atomic<long> ref_count_{0};
  Entity* function_entity_;
  Entity* member_entity_;
};

// A member call of |method| on the wrapper's receiver with copies of |args|.
template <class T, class C, class... Params, class... Args>
base::scoped_refptr<Task> MakeTask(std::unique_ptr<base::ObjWrapper<T>> wrapper,
                                   void (C::*method)(Params...),
                                   Args&&... args) {
  static_assert(std::is_base_of_v<C, T>, "method must belong to the receiver");
  static_assert(sizeof...(Params) == sizeof...(Args), "argument count");
  C* receiver = wrapper->Get();
  auto* entity =
      new fastdelegate::DelegateEntity<C, base::ObjWrapper<T>, void, Params...>(
          std::move(wrapper), receiver, method, std::forward<Args>(args)...);
  return Task::FromEntities(nullptr, entity);
}

// A call of |function| with a copy of |argument|.
template <class P, class A>
base::scoped_refptr<Task> MakeFunctionTask(void (*function)(P), A&& argument) {
  auto* entity = new fastdelegate::FunctionEntity1<P, std::decay_t<P>, void>(
      function, std::forward<A>(argument));
  return Task::FromEntities(entity, nullptr);
}

#endif  // BASE_TASK_H_
