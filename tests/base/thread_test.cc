// Named threads: the start handshake, the stop order, and lazy holders torn
// down by the exit callbacks.

#include "base/thread.h"

#include <gtest/gtest.h>

#include "base/exit_callbacks.h"
#include "base/lazy_thread.h"
#include "tests/base/test_util.h"

namespace {

using testing_util::Calls;
using testing_util::CountOf;
using testing_util::ProbeTask;
using testing_util::Recorder;
using Strings = std::vector<std::string>;

class Where {
 public:
  void Note() {
    thread_id = GetCurrentThreadId();
    loop = base::MessageLoop::Current();
  }
  DWORD thread_id = 0;
  base::MessageLoop* loop = nullptr;
};

TEST(ThreadTest, StartReturnsWithTheLoopReadyForTasks) {
  const struct { int kind; const char* name; } cases[] = {
      {base::MessageLoop::kLoopDefault, "file_thread"},
      {base::MessageLoop::kLoopIo, "io_thread"},
  };
  for (const auto& c : cases) {
    base::Thread thread;
    EXPECT_TRUE(thread.SetName(c.name));
    EXPECT_FALSE(thread.SetName("other"));
    base::ThreadOptions options;
    options.loop_kind = c.kind;
    ASSERT_TRUE(thread.Start(options));
    ASSERT_TRUE(thread.IsRunning());
    ASSERT_NE(thread.loop(), nullptr);
    EXPECT_EQ(thread.loop()->name(), c.name);
    EXPECT_EQ(thread.loop()->kind(), c.kind);

    Where where;
    base::MessageLoop* loop = thread.loop();
    loop->PostNow(MakeTask(base::WrapUnretained(&where), &Where::Note));
    thread.Stop();
    EXPECT_EQ(where.thread_id, thread.thread_id()) << c.name;
    EXPECT_NE(where.thread_id, GetCurrentThreadId());
    EXPECT_EQ(where.loop, loop);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.loop(), nullptr);
  }
}

TEST(ThreadTest, StopRunsEarlierTasksAndReleasesUndueOnes) {
  Recorder rec;
  base::Thread thread;
  ASSERT_TRUE(thread.Start());
  thread.loop()->PostDelayed(ProbeTask(&rec, "next-hour"), 3600LL * 1000 * 1000);
  for (const char* name : {"a", "b", "c"}) thread.loop()->PostNow(ProbeTask(&rec, name));
  thread.Stop();
  Strings all = rec.entries();
  EXPECT_EQ(Calls(all), (Strings{"a", "b", "c"}));
  EXPECT_EQ(CountOf(all, "~next-hour"), 1);
  thread.Stop();  // a second stop does nothing
  EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadTest, StopOfANeverStartedThreadDoesNothing) {
  base::Thread thread;
  thread.Stop();
  EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadTest, TasksPostedAfterTheQuitAreReleasedUnrun) {
  Recorder rec;
  {
    base::MessageLoop loop(base::MessageLoop::kLoopDefault);
    loop.PostNow(ProbeTask(&rec, "before"));
    loop.PostQuit();
    loop.PostNow(ProbeTask(&rec, "after"));
    loop.Run();
    EXPECT_EQ(Calls(rec.entries()), (Strings{"before"}));
  }
  EXPECT_EQ(CountOf(rec.entries(), "~after"), 1);
  EXPECT_EQ(CountOf(rec.entries(), "after"), 0);
}

std::vector<int>* g_exit_order = nullptr;
void NoteExit(void* value) { g_exit_order->push_back(static_cast<int>(reinterpret_cast<intptr_t>(value))); }

TEST(ExitCallbacksTest, RunLastRegisteredFirstAndOnlyWhileAListExists) {
  std::vector<int> order;
  g_exit_order = &order;
  base::RegisterExitCallback(&NoteExit, reinterpret_cast<void*>(99));  // no list: dropped
  {
    base::ExitCallbacks callbacks;
    for (intptr_t i = 1; i <= 3; ++i) base::RegisterExitCallback(&NoteExit, reinterpret_cast<void*>(i));
    EXPECT_TRUE(order.empty());
  }
  EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
  g_exit_order = nullptr;
}

TEST(LazyThreadTest, MadeOnFirstUseAndStoppedByTheExitCallbacks) {
  base::LazyThread holder;
  EXPECT_EQ(holder.Peek(), nullptr);
  {
    base::ExitCallbacks callbacks;
    base::Thread* thread = holder.Get();
    EXPECT_EQ(holder.Get(), thread);
    EXPECT_TRUE(thread->name().empty());
    ASSERT_TRUE(thread->Start());
    EXPECT_TRUE(thread->IsRunning());
  }
  EXPECT_EQ(holder.Peek(), nullptr);
}

}  // namespace
