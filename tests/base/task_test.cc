// Bound calls: receivers are kept alive, released exactly once, and weak or
// null targets make the call a no-op.

#include "base/task.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/weak_ptr.h"

namespace {

class Receiver : public base::RefCountedThreadSafe<Receiver> {
 public:
  explicit Receiver(std::vector<std::string>* events) : events_(events) {}

  void Ping() { events_->push_back("ping"); }
  void TakeInt(int value) { events_->push_back("int " + std::to_string(value)); }
  void TakePath(const std::wstring& path) {
    // Sees the stored copy, not the caller's string.
    events_->push_back("path " + std::string(path.begin(), path.end()));
  }
  void TakeFour(const std::string& a, int b, int c, const std::string& d) {
    events_->push_back(a + std::to_string(b) + std::to_string(c) + d);
  }

 private:
  friend class base::RefCountedThreadSafe<Receiver>;
  ~Receiver() override { events_->push_back("destroyed"); }
  std::vector<std::string>* events_;
};

using Events = std::vector<std::string>;

TEST(TaskTest, RetainedReceiverOutlivesItsOwnerUntilTheCallIsReleased) {
  Events events;
  base::scoped_refptr<Task> task;
  {
    base::scoped_refptr<Receiver> owner(new Receiver(&events));
    task = MakeTask(base::WrapRetained(owner.get()), &Receiver::Ping);
  }  // the owner's reference is gone; the task's keeps the receiver
  EXPECT_TRUE(events.empty());
  task->Run();
  EXPECT_EQ(events, (Events{"ping"}));
  task = nullptr;
  EXPECT_EQ(events, (Events{"ping", "destroyed"}));
}

TEST(TaskTest, DroppedUnrunTaskReleasesReceiverExactlyOnce) {
  Events events;
  auto* receiver = new Receiver(&events);
  receiver->AddRef();
  {
    base::scoped_refptr<Task> first = MakeTask(base::WrapRetained(receiver), &Receiver::Ping);
    base::scoped_refptr<Task> copy = first;  // two holders of one task
  }
  EXPECT_TRUE(events.empty());  // our own reference is still there
  receiver->Release();
  EXPECT_EQ(events, (Events{"destroyed"}));
}

TEST(TaskTest, StoredArgumentsAreCopiesPassedAsTheirParameterTypes) {
  Events events;
  base::scoped_refptr<Receiver> receiver(new Receiver(&events));
  std::wstring path = L"C:\\Games";
  base::scoped_refptr<Task> with_path =
      MakeTask(base::WrapUnretained(receiver.get()), &Receiver::TakePath, path);
  path = L"changed";
  base::scoped_refptr<Task> with_int =
      MakeTask(base::WrapUnretained(receiver.get()), &Receiver::TakeInt, 42);
  base::scoped_refptr<Task> with_four = MakeTask(base::WrapUnretained(receiver.get()),
                                                 &Receiver::TakeFour, std::string("a"), 1, 2,
                                                 std::string("d"));
  with_path->Run();
  with_int->Run();
  with_four->Run();
  EXPECT_EQ(events, (Events{"path C:\\Games", "int 42", "a12d"}));
}

TEST(TaskTest, NullMemberFunctionRunsWithoutEffect) {
  Events events;
  base::scoped_refptr<Receiver> receiver(new Receiver(&events));
  void (Receiver::*none)() = nullptr;
  base::scoped_refptr<Task> task = MakeTask(base::WrapRetained(receiver.get()), none);
  task->Run();
  task = nullptr;
  EXPECT_TRUE(events.empty());
}

TEST(TaskTest, WeakReceiverInvalidatedBeforeExecIsSkipped) {
  Events events;
  base::scoped_refptr<Receiver> receiver(new Receiver(&events));
  auto owner = std::make_unique<base::WeakFlagOwner>();
  base::WeakPtr<Receiver> weak(owner->GetFlag(), receiver.get());

  base::scoped_refptr<Task> live = MakeTask(base::WrapWeak(weak), &Receiver::Ping);
  base::scoped_refptr<Task> skipped = MakeTask(base::WrapWeak(weak), &Receiver::Ping);
  live->Run();
  owner.reset();  // invalidates every weak pointer handed out
  skipped->Run();
  EXPECT_EQ(weak.Get(), nullptr);
  EXPECT_EQ(events, (Events{"ping"}));
  live = nullptr;
  skipped = nullptr;  // released normally, the flag with it
  receiver = nullptr;
  EXPECT_EQ(events, (Events{"ping", "destroyed"}));
}

TEST(TaskTest, WeakFlagOwnerRenewsItsFlagOnlyWhenNobodyHoldsIt) {
  base::WeakFlagOwner owner;
  base::scoped_refptr<base::WeakFlag> first = owner.GetFlag();
  EXPECT_EQ(owner.GetFlag().get(), first.get());  // still shared: same flag
  first = nullptr;
  base::scoped_refptr<base::WeakFlag> second = owner.GetFlag();
  EXPECT_TRUE(second->IsValid());
  owner.Invalidate();
  EXPECT_FALSE(second->IsValid());
}

std::vector<std::wstring>* g_paths = nullptr;
void RecordPath(const std::wstring& path) { g_paths->push_back(path); }
void (*const kNoFunction)(void*) = nullptr;

TEST(TaskTest, FunctionTaskCallsWithItsStoredArgumentAndNullDoesNothing) {
  std::vector<std::wstring> paths;
  g_paths = &paths;
  MakeFunctionTask(&RecordPath, std::wstring(L"D:\\x"))->Run();
  MakeFunctionTask(kNoFunction, static_cast<void*>(nullptr))->Run();
  EXPECT_EQ(paths, (std::vector<std::wstring>{L"D:\\x"}));
  g_paths = nullptr;
}

}  // namespace
