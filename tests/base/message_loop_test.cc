// Task order, quitting and destruction, on every kind of loop.

#include "base/message_loop.h"

#include <thread>

#include <gtest/gtest.h>

#include "tests/base/test_util.h"

namespace {

using testing_util::Calls;
using testing_util::CountOf;
using testing_util::ProbeTask;
using testing_util::QuitTask;
using testing_util::Recorder;
using Strings = std::vector<std::string>;

constexpr base::Ticks kMs = 1000;

class MessageLoopKindTest : public testing::TestWithParam<int> {
 protected:
  void TearDown() override {
    // A quit seen by the UI pump is reposted for outer loops; don't leak it
    // into the next test on this thread.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
  }
};

TEST_P(MessageLoopKindTest, ImmediateTasksRunInPostingOrderEvenIfPostedBeforeRun) {
  Recorder rec;
  base::MessageLoop loop(GetParam());
  EXPECT_EQ(base::MessageLoop::Current(), &loop);
  for (const char* name : {"a", "b", "c", "d"}) loop.PostNow(ProbeTask(&rec, name));
  loop.PostQuit();
  loop.Run();
  EXPECT_EQ(Calls(rec.entries()), (Strings{"a", "b", "c", "d"}));
}

TEST_P(MessageLoopKindTest, DelayedTasksRunByRunTimeThenPostingOrder) {
  Recorder rec;
  base::MessageLoop loop(GetParam());
  loop.PostDelayed(ProbeTask(&rec, "30ms"), 30 * kMs);
  loop.PostDelayed(ProbeTask(&rec, "10ms-first"), 10 * kMs);
  loop.PostDelayed(ProbeTask(&rec, "20ms"), 20 * kMs);
  loop.PostDelayed(ProbeTask(&rec, "10ms-second"), 10 * kMs);
  loop.PostNow(ProbeTask(&rec, "now"));
  loop.PostDelayed(QuitTask(&rec, "quit"), 40 * kMs);
  loop.Run();
  EXPECT_EQ(Calls(rec.entries()),
            (Strings{"now", "10ms-first", "10ms-second", "20ms", "30ms", "quit"}));
}

TEST_P(MessageLoopKindTest, QuitFromATaskStopsAfterThatTask) {
  Recorder rec;
  base::MessageLoop loop(GetParam());
  loop.PostNow(ProbeTask(&rec, "before"));
  loop.PostNow(QuitTask(&rec, "quit"));
  loop.PostNow(ProbeTask(&rec, "after"));
  loop.Run();
  EXPECT_EQ(Calls(rec.entries()), (Strings{"before", "quit"}));
  EXPECT_FALSE(loop.running());
}

TEST_P(MessageLoopKindTest, PostQuitFromAnotherThreadRunsEarlierTasksFirst) {
  Recorder rec;
  base::MessageLoop loop(GetParam());
  std::thread poster([&] {
    for (int i = 0; i < 50; ++i) loop.PostNow(ProbeTask(&rec, "t" + std::to_string(i)));
    loop.PostQuit();
    loop.PostNow(ProbeTask(&rec, "late"));
  });
  loop.Run();
  poster.join();
  Strings calls = Calls(rec.entries());
  ASSERT_EQ(calls.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(calls[i], "t" + std::to_string(i));
}

TEST_P(MessageLoopKindTest, DestructionReleasesPendingTasksUnrunThenRunsDestructionTasks) {
  Recorder rec;
  {
    base::MessageLoop loop(GetParam());
    loop.PostDelayed(ProbeTask(&rec, "delayed"), 3600 * 1000 * kMs);
    loop.PostNow(QuitTask(&rec, "quit"));
    loop.PostNow(ProbeTask(&rec, "pending"));
    loop.PostOnDestroy(ProbeTask(&rec, "on-destroy-1"));
    loop.PostOnDestroy(MakeTask(base::WrapRetained(new testing_util::Probe(&rec, "current")),
                                &testing_util::Probe::Call));
    loop.PostOnDestroy(ProbeTask(&rec, "on-destroy-2"));
    loop.Run();
    // "delayed" waits in the heap, "pending" in the work list.
    EXPECT_EQ(Calls(rec.entries()), (Strings{"quit"}));
  }
  Strings all = rec.entries();
  for (const char* dropped : {"pending", "delayed"}) {
    EXPECT_EQ(CountOf(all, dropped), 0) << dropped;
    EXPECT_EQ(CountOf(all, std::string("~") + dropped), 1) << dropped;
  }
  EXPECT_EQ(Calls(all), (Strings{"quit", "on-destroy-1", "current", "on-destroy-2"}));
  EXPECT_EQ(base::MessageLoop::Current(), nullptr);
}

class CurrentChecker {
 public:
  void Check() { current_in_destruction_task = base::MessageLoop::Current(); }
  base::MessageLoop* current_in_destruction_task = reinterpret_cast<base::MessageLoop*>(1);
};

class Watcher : public base::MessageLoop::DestructionObserver {
 public:
  explicit Watcher(Recorder* rec) : rec_(rec) {}
  void OnLoopDestroying() override {
    rec_->Add("observer");
    current_during_notice = base::MessageLoop::Current();
  }
  base::MessageLoop* current_during_notice = nullptr;

 private:
  Recorder* rec_;
};

TEST_P(MessageLoopKindTest, ObserversHearOfDestructionAfterDropsAndBeforeDestructionTasks) {
  Recorder rec;
  Watcher watcher(&rec), removed(&rec);
  CurrentChecker checker;
  base::MessageLoop* loop_address = nullptr;
  {
    base::MessageLoop loop(GetParam());
    loop_address = &loop;
    loop.AddDestructionObserver(&watcher);
    loop.AddDestructionObserver(&removed);
    loop.RemoveDestructionObserver(&removed);
    loop.PostNow(ProbeTask(&rec, "never"));
    loop.PostOnDestroy(MakeTask(base::WrapUnretained(&checker), &CurrentChecker::Check));
    loop.PostOnDestroy(ProbeTask(&rec, "on-destroy"));
  }
  EXPECT_EQ(rec.entries(), (Strings{"~never", "observer", "on-destroy", "~on-destroy"}));
  EXPECT_EQ(watcher.current_during_notice, loop_address);
  EXPECT_EQ(checker.current_in_destruction_task, nullptr);
}

std::string KindName(const testing::TestParamInfo<int>& info) {
  switch (info.param) {
    case base::MessageLoop::kLoopDefault: return "Default";
    case base::MessageLoop::kLoopUi: return "Ui";
    default: return "Io";
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, MessageLoopKindTest,
                         testing::Values(base::MessageLoop::kLoopDefault,
                                         base::MessageLoop::kLoopUi,
                                         base::MessageLoop::kLoopIo),
                         KindName);

TEST(MessageLoopTest, ImmediateTaskMayOvertakeADueDelayedOne) {
  Recorder rec;
  base::MessageLoop loop(base::MessageLoop::kLoopDefault);
  loop.PostDelayed(ProbeTask(&rec, "delayed"), 1);
  Sleep(5);  // the delayed task is due before the loop first runs
  loop.PostNow(ProbeTask(&rec, "immediate"));
  loop.PostDelayed(QuitTask(&rec, "quit"), 20 * kMs);
  loop.Run();
  EXPECT_EQ(Calls(rec.entries()), (Strings{"immediate", "delayed", "quit"}));
}

}  // namespace
