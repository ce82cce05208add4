// ExitCallbacks: functions to run when the program entry ends, last
// registered first. One list exists while the entry runs; registering while
// none exists does nothing.
//
// Thread affinity: RegisterExitCallback from any thread; the list is created
// and destroyed on the entry's thread.

#ifndef BASE_EXIT_CALLBACKS_H_
#define BASE_EXIT_CALLBACKS_H_

#include <deque>

#include "base/lock.h"
#include "base/ref_counted.h"
#include "base/task.h"

namespace base {

class ExitCallbacks {
 public:
  ExitCallbacks();
  // Runs the registered callbacks, last registered first.
  ~ExitCallbacks();
  ExitCallbacks(const ExitCallbacks&) = delete;
  ExitCallbacks& operator=(const ExitCallbacks&) = delete;

 private:
  friend void RegisterExitCallback(void (*function)(void*), void* argument);

  Lock lock_;
  std::deque<scoped_refptr<Task>> callbacks_;
  ExitCallbacks* previous_;  // an outer list, restored when this one goes
};

void RegisterExitCallback(void (*function)(void*), void* argument);

}  // namespace base

#endif  // BASE_EXIT_CALLBACKS_H_
