// Shared pieces of the runtime tests: a counted receiver that records what
// happens to it, and a recorder for task order.

#ifndef TESTS_BASE_TEST_UTIL_H_
#define TESTS_BASE_TEST_UTIL_H_

#include <windows.h>

#include <string>
#include <vector>

#include "base/lock.h"
#include "base/message_loop.h"
#include "base/ref_counted.h"
#include "base/task.h"

namespace testing_util {

// Records strings from any thread.
class Recorder {
 public:
  void Add(const std::string& entry) {
    base::AutoLock hold(lock_);
    entries_.push_back(entry);
  }
  std::vector<std::string> entries() {
    base::AutoLock hold(lock_);
    return entries_;
  }

 private:
  base::Lock lock_;
  std::vector<std::string> entries_;
};

// A counted receiver; says "<name>" when called and "~<name>" when freed.
class Probe : public base::RefCountedThreadSafe<Probe> {
 public:
  Probe(Recorder* recorder, std::string name)
      : recorder_(recorder), name_(std::move(name)) {}

  void Call() { recorder_->Add(name_); }
  void QuitCurrent() {
    recorder_->Add(name_);
    base::MessageLoop::Current()->Quit();
  }

 private:
  friend class base::RefCountedThreadSafe<Probe>;
  ~Probe() override { recorder_->Add("~" + name_); }
  Recorder* recorder_;
  std::string name_;
};

// A retained call of Probe::Call on a new probe.
inline base::scoped_refptr<Task> ProbeTask(Recorder* recorder, const std::string& name) {
  return MakeTask(base::WrapRetained(new Probe(recorder, name)), &Probe::Call);
}

inline base::scoped_refptr<Task> QuitTask(Recorder* recorder, const std::string& name) {
  return MakeTask(base::WrapRetained(new Probe(recorder, name)), &Probe::QuitCurrent);
}

// Keeps only the entries that are calls, not releases.
inline std::vector<std::string> Calls(const std::vector<std::string>& entries) {
  std::vector<std::string> calls;
  for (const std::string& e : entries)
    if (e.empty() || e[0] != '~') calls.push_back(e);
  return calls;
}

inline int CountOf(const std::vector<std::string>& entries, const std::string& e) {
  int n = 0;
  for (const std::string& x : entries) n += x == e;
  return n;
}

}  // namespace testing_util

#endif  // TESTS_BASE_TEST_UTIL_H_
