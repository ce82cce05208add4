// A process-wide Thread made on first use. The accessor registers an exit
// callback that destroys the thread (stopping it) when the program entry
// ends; a holder that is never touched makes no thread.
//
// Thread affinity: the accessor on ui_thread.

#ifndef BASE_LAZY_THREAD_H_
#define BASE_LAZY_THREAD_H_

#include <optional>

#include "base/thread.h"

namespace base {

class LazyThread {
 public:
  LazyThread() = default;
  LazyThread(const LazyThread&) = delete;
  LazyThread& operator=(const LazyThread&) = delete;

  Thread* Get();
  // The thread if it was made and not destroyed yet, else null.
  Thread* Peek() { return thread_ ? &*thread_ : nullptr; }
  void Destroy() { thread_.reset(); }

 private:
  static void DestroyAtExit(void* holder);

  std::optional<Thread> thread_;
};

}  // namespace base

#endif  // BASE_LAZY_THREAD_H_
