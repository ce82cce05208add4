#include "base/named_threads.h"

namespace base {

LazyThread& FileThreadHolder() {
  static LazyThread holder;
  return holder;
}

LazyThread& IoThreadHolder() {
  static LazyThread holder;
  return holder;
}

}  // namespace base
