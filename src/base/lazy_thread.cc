#include "base/lazy_thread.h"

#include "base/exit_callbacks.h"

namespace base {

Thread* LazyThread::Get() {
  if (!thread_) {
    thread_.emplace();
    RegisterExitCallback(&LazyThread::DestroyAtExit, this);
  }
  return &*thread_;
}

void LazyThread::DestroyAtExit(void* holder) {
  static_cast<LazyThread*>(holder)->Destroy();
}

}  // namespace base
