// The holders of the two worker threads: file_thread (file and process
// work) and io_thread (network transfers). Each thread object is made on
// first use and destroyed by an exit callback when the program entry ends.
//
// Thread affinity: ui_thread.

#ifndef BASE_NAMED_THREADS_H_
#define BASE_NAMED_THREADS_H_

#include "base/lazy_thread.h"

namespace base {

LazyThread& FileThreadHolder();
LazyThread& IoThreadHolder();

}  // namespace base

#endif  // BASE_NAMED_THREADS_H_
