#include "base/message_loop.h"

#include "base/message_pump_default.h"
#include "base/message_pump_io.h"
#include "base/message_pump_ui.h"

namespace base {

namespace {

thread_local MessageLoop* g_current_loop = nullptr;

}  // namespace

MessageLoop::MessageLoop(int kind) : kind_(kind) {
  g_current_loop = this;
  switch (kind) {
    case kLoopDefault:
      pump_ = std::make_unique<MessagePumpDefault>();
      break;
    case kLoopUi:
      pump_ = std::make_unique<MessagePumpForUI>();
      break;
    case kLoopIo:
      pump_ = std::make_unique<MessagePumpForIO>();
      break;
    default:
      break;
  }
}

MessageLoop::~MessageLoop() {
  DropWorkAndDelayed();
  ReloadWorkList();
  DropWorkAndDelayed();

  if (!destruction_observers_.IsEmpty())
    destruction_observers_.Notify(&DestructionObserver::OnLoopDestroying);

  if (g_current_loop == this) g_current_loop = nullptr;

  TaskList on_destroy;
  {
    AutoLock hold(lock_);
    on_destroy.SwapEntries(destruction_);
  }
  while (!on_destroy.IsEmpty()) {
    QueuedTask entry = on_destroy.TakeFront();
    entry.task->Run();
  }
}

MessageLoop* MessageLoop::Current() { return g_current_loop; }

MessagePumpForUI* MessageLoop::ui_pump() const {
  return kind_ == kLoopUi ? static_cast<MessagePumpForUI*>(pump_.get()) : nullptr;
}

MessagePumpForIO* MessageLoop::io_pump() const {
  return kind_ == kLoopIo ? static_cast<MessagePumpForIO*>(pump_.get()) : nullptr;
}

void MessageLoop::PostDelayed(scoped_refptr<Task> task, Ticks delay) {
  QueuedTask entry;
  entry.run_time = delay != 0 ? NowTicks() + delay : 0;
  entry.task = std::move(task);
  {
    AutoLock hold(lock_);
    incoming_.Append(std::move(entry));
  }
  pump_->Wake();
}

void MessageLoop::PostOnDestroy(scoped_refptr<Task> task) {
  QueuedTask entry;
  entry.task = std::move(task);
  AutoLock hold(lock_);
  destruction_.Append(std::move(entry));
}

void MessageLoop::PostQuit() {
  PostNow(MakeTask(WrapUnretained(this), &MessageLoop::Quit));
}

void MessageLoop::Quit() { pump_->Quit(); }

void MessageLoop::Run() {
  running_ = true;
  pump_->Run(this);
  running_ = false;
}

void MessageLoop::AddDestructionObserver(DestructionObserver* observer) {
  destruction_observers_.AddObserver(observer);
}

void MessageLoop::RemoveDestructionObserver(DestructionObserver* observer) {
  destruction_observers_.RemoveObserver(observer);
}

void MessageLoop::ReloadWorkList() {
  if (!work_.IsEmpty()) return;
  AutoLock hold(lock_);
  if (!incoming_.IsEmpty()) work_.SwapEntries(incoming_);
}

void MessageLoop::DropWorkAndDelayed() {
  work_.Clear();
  while (!delayed_.empty()) delayed_.pop();
}

bool MessageLoop::RunWork() {
  ReloadWorkList();
  while (!work_.IsEmpty()) {
    QueuedTask entry = work_.TakeFront();
    if (entry.run_time == 0) {
      entry.task->Run();
      return true;
    }
    Task* task = entry.task.get();
    Ticks run_time = entry.run_time;
    delayed_.push(std::move(entry));
    if (delayed_.top().task.get() == task) pump_->WakeAt(run_time);
    if (work_.IsEmpty()) ReloadWorkList();
  }
  return false;
}

bool MessageLoop::RunDelayedWork(Ticks* next_run_time) {
  if (delayed_.empty()) {
    *next_run_time = 0;
    recent_time_ = 0;
    return false;
  }
  Ticks top_time = delayed_.top().run_time;
  if (top_time > recent_time_) {
    recent_time_ = NowTicks();
    if (top_time > recent_time_) {
      *next_run_time = top_time;
      return false;
    }
  }
  QueuedTask entry = delayed_.top();
  delayed_.pop();
  if (!delayed_.empty()) *next_run_time = delayed_.top().run_time;
  entry.task->Run();
  return true;
}

}  // namespace base
