// MessageLoop: the per-thread task queue. Any thread posts; the owning thread
// runs immediate tasks in posting order and delayed tasks when due (earliest
// first, equal run times in posting order), and its pump sleeps in between.
//
// Thread affinity: constructed, run and destroyed on its own thread, which it
// claims as that thread's current loop. Post* may be called from any thread
// from construction until destruction begins.
// Ownership: the loop owns its pump and every queued entry; entries still
// queued at destruction are released without running.

#ifndef BASE_MESSAGE_LOOP_H_
#define BASE_MESSAGE_LOOP_H_

#include <memory>
#include <queue>
#include <string>
#include <vector>

#include "base/lock.h"
#include "base/message_pump.h"
#include "base/observer_list.h"
#include "base/task_queue.h"
#include "base/thread_table.h"

namespace base {

class MessagePumpForUI;
class MessagePumpForIO;

class MessageLoop : public MessagePump::Delegate {
 public:
  enum Kind { kLoopDefault = 0, kLoopUi = 1, kLoopIo = 2 };

  // Told on the loop's thread that the loop is going away, after its pending
  // tasks were dropped and before its destruction tasks run.
  class DestructionObserver {
   public:
    virtual void OnLoopDestroying() = 0;
    virtual ~DestructionObserver() = default;
  };

  class LayerLoop;  // layer_loop.h

  // A kind other than the three makes a loop without a pump, which must not
  // be posted to or run.
  explicit MessageLoop(int kind);
  virtual ~MessageLoop();
  MessageLoop(const MessageLoop&) = delete;
  MessageLoop& operator=(const MessageLoop&) = delete;

  // The calling thread's loop, or null.
  static MessageLoop* Current();

  void PostNow(scoped_refptr<Task> task) { PostDelayed(std::move(task), 0); }
  // |delay| in microseconds; 0 means immediate.
  void PostDelayed(scoped_refptr<Task> task, Ticks delay);
  // Runs only when the loop is destroyed; does not wake the pump.
  void PostOnDestroy(scoped_refptr<Task> task);
  // Posts a task that quits the loop after the tasks queued before it.
  void PostQuit();
  // Loop's thread only: the pump stops at its next check.
  void Quit();
  // Runs until quit.
  void Run();

  void AddDestructionObserver(DestructionObserver* observer);
  void RemoveDestructionObserver(DestructionObserver* observer);

  const std::string& name() const { return name_; }
  void set_name(const std::string& name) { name_ = name; }
  int kind() const { return kind_; }
  bool running() const { return running_; }
  MessagePump* pump() const { return pump_.get(); }
  // The window-message pump of a kLoopUi loop, null for other kinds.
  MessagePumpForUI* ui_pump() const;
  // The completion-port pump of a kLoopIo loop, null for other kinds.
  MessagePumpForIO* io_pump() const;

  // MessagePump::Delegate, called by the pump on the loop's thread.
  bool RunWork() override;
  bool RunDelayedWork(Ticks* next_run_time) override;
  bool RunIdleWork() override { return false; }

 private:
  // Moves the incoming list into the empty work list.
  void ReloadWorkList();
  void DropWorkAndDelayed();

  bool running_ = false;
  std::string name_;
  int kind_;
  std::unique_ptr<MessagePump> pump_;
  ObserverListBase<DestructionObserver> destruction_observers_;
  TaskList incoming_;     // guarded by lock_
  TaskList work_;         // loop's thread only
  TaskList destruction_;  // guarded by lock_
  std::priority_queue<QueuedTask, std::vector<QueuedTask>, RunsLater> delayed_;
  Lock lock_;
  Ticks recent_time_ = 0;  // clock value last read by RunDelayedWork
};

}  // namespace base

#endif  // BASE_MESSAGE_LOOP_H_
