// The three named threads' loops, by id. Entries are written once at start-up,
// before any thread that reads them posts, and never cleared.

#ifndef BASE_THREAD_TABLE_H_
#define BASE_THREAD_TABLE_H_

namespace base {

class MessageLoop;

enum ThreadId { kThreadUi = 0, kThreadIo = 1, kThreadFile = 2, kThreadCount = 3 };

// Null for an id nobody registered (or out of range).
MessageLoop* ThreadLoop(int thread_id);
void RegisterThreadLoop(int thread_id, MessageLoop* loop);

}  // namespace base

#endif  // BASE_THREAD_TABLE_H_
