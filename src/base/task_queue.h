// Queue entries and the FIFO list a message loop keeps them in.
//
// Thread affinity: none; the owning loop guards each list as it needs.

#ifndef BASE_TASK_QUEUE_H_
#define BASE_TASK_QUEUE_H_

#include <cstdint>
#include <deque>
#include <utility>

#include "base/ref_counted.h"
#include "base/task.h"
#include "base/ticks.h"

namespace base {

// One entry. Copies share the Task and each holds a reference to it.
struct QueuedTask {
  Ticks run_time = 0;     // 0 for an immediate task
  uint32_t sequence = 0;  // numbered by the list it was appended to
  scoped_refptr<Task> task;
};

// Orders the delayed heap: earliest run time on top, then smaller sequence.
struct RunsLater {
  bool operator()(const QueuedTask& a, const QueuedTask& b) const {
    if (a.run_time != b.run_time) return a.run_time > b.run_time;
    return a.sequence > b.sequence;
  }
};

class TaskList {
 public:
  void Append(QueuedTask entry) {
    entry.sequence = ++counter_;
    entries_.push_back(std::move(entry));
  }

  bool IsEmpty() const { return entries_.empty(); }

  QueuedTask TakeFront() {
    QueuedTask entry = std::move(entries_.front());
    entries_.pop_front();
    return entry;
  }

  // Swaps the entries only; each list keeps its own sequence counter.
  void SwapEntries(TaskList& other) { entries_.swap(other.entries_); }

  void Clear() { entries_.clear(); }

 private:
  std::deque<QueuedTask> entries_;
  uint32_t counter_ = 0;
};

}  // namespace base

#endif  // BASE_TASK_QUEUE_H_
