#include "base/thread_table.h"

namespace base {

namespace {

MessageLoop* g_thread_loops[kThreadCount] = {};

}  // namespace

MessageLoop* ThreadLoop(int thread_id) {
  if (thread_id < 0 || thread_id >= kThreadCount) return nullptr;
  return g_thread_loops[thread_id];
}

void RegisterThreadLoop(int thread_id, MessageLoop* loop) {
  if (thread_id < 0 || thread_id >= kThreadCount) return;
  g_thread_loops[thread_id] = loop;
}

}  // namespace base
