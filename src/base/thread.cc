#include "base/thread.h"

#include <process.h>

#include <memory>

namespace base {

Thread::~Thread() { Stop(); }

bool Thread::SetName(const std::string& name) {
  if (!name_.empty()) return false;
  name_ = name;
  return true;
}

bool Thread::Start(const ThreadOptions& options) {
  ScopedHandle started(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  StartRecord record = {&options, started.Get()};
  start_record_ = &record;

  unsigned flags = options.stack_size ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0;
  unsigned os_id = 0;
  thread_.Set(reinterpret_cast<HANDLE>(_beginthreadex(
      nullptr, options.stack_size, &Thread::ThreadEntry, this, flags, &os_id)));
  bool ok = thread_.IsValid();
  if (ok) {
    WaitForSingleObject(started.Get(), INFINITE);
    started_ = true;
  }
  start_record_ = nullptr;
  return ok;
}

unsigned __stdcall Thread::ThreadEntry(void* param) {
  static_cast<Thread*>(param)->ThreadMain();
  return 0;
}

void Thread::ThreadMain() {
  auto loop = std::make_unique<MessageLoop>(start_record_->options->loop_kind);
  thread_id_ = GetCurrentThreadId();
  if (loop->name().empty()) loop->set_name(name_);
  loop_ = loop.get();
  running_ = true;
  SetEvent(start_record_->started_event);  // |start_record_| is gone after this

  loop->Run();

  running_ = false;
  loop_ = nullptr;
  loop.reset();
}

void Thread::Stop() {
  if (!started_ || stopping_ || !loop_) return;
  stopping_ = true;
  loop_->PostQuit();
  WaitForSingleObject(thread_.Get(), INFINITE);
  thread_.Close();
  started_ = false;
  stopping_ = false;
}

}  // namespace base
