// base::Thread: a worker thread that owns one MessageLoop.
//
// Start returns only once the new thread's loop exists, so a task posted to
// it right away runs on that thread. Stop posts a quit task and joins: tasks
// posted before it run, later ones are released unrun.
//
// Thread affinity: Start, Stop and the accessors on the owning thread
// (ui_thread in the product). IsRunning may be read from any thread.

#ifndef BASE_THREAD_H_
#define BASE_THREAD_H_

#include <windows.h>

#include <string>

#include "base/message_loop.h"
#include "base/scoped_handle.h"

namespace base {

struct ThreadOptions {
  unsigned stack_size = 0;  // 0: the default
  int loop_kind = MessageLoop::kLoopDefault;
};

class Thread {
 public:
  Thread() = default;
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Stores |name| only while the thread has none; true if it stored it.
  bool SetName(const std::string& name);
  const std::string& name() const { return name_; }

  // False when the OS thread cannot be created.
  bool Start(const ThreadOptions& options = ThreadOptions());
  // Does nothing unless started; a second call does nothing.
  void Stop();

  bool IsRunning() const { return running_; }
  MessageLoop* loop() const { return loop_; }
  DWORD thread_id() const { return thread_id_; }

 protected:
  // Runs on the new thread: makes the loop, signals Start, runs until quit.
  virtual void ThreadMain();

 private:
  struct StartRecord {
    const ThreadOptions* options;
    HANDLE started_event;
  };
  static unsigned __stdcall ThreadEntry(void* param);

  MessageLoop* loop_ = nullptr;  // written on the new thread during Start
  ScopedHandle thread_;
  std::string name_;
  DWORD thread_id_ = 0;
  bool started_ = false;
  bool stopping_ = false;
  volatile bool running_ = false;  // written on the worker, read anywhere
  StartRecord* start_record_ = nullptr;  // valid only during Start
};

}  // namespace base

#endif  // BASE_THREAD_H_
