#include "base/exit_callbacks.h"

namespace base {

namespace {

ExitCallbacks* g_exit_callbacks = nullptr;

}  // namespace

ExitCallbacks::ExitCallbacks() : previous_(g_exit_callbacks) {
  g_exit_callbacks = this;
}

ExitCallbacks::~ExitCallbacks() {
  {
    AutoLock hold(lock_);
    while (!callbacks_.empty()) {
      scoped_refptr<Task> callback = callbacks_.back();
      callbacks_.pop_back();
      callback->Run();
    }
  }
  g_exit_callbacks = previous_;
}

void RegisterExitCallback(void (*function)(void*), void* argument) {
  ExitCallbacks* list = g_exit_callbacks;
  if (!list) return;
  AutoLock hold(list->lock_);
  list->callbacks_.push_back(MakeFunctionTask(function, argument));
}

}  // namespace base
