// Observer lists under change: removal during a notification, compaction,
// additions during a notification, and a list destroyed mid-notification.

#include "base/observer_list.h"

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

class Listener {
 public:
  virtual ~Listener() = default;
  virtual void OnEvent() = 0;
};

class Named : public Listener {
 public:
  Named(std::vector<int>* log, int id) : log_(log), id_(id) {}
  void OnEvent() override {
    log_->push_back(id_);
    if (action) action();
  }
  std::function<void()> action;

 private:
  std::vector<int>* log_;
  int id_;
};

TEST(ObserverListTest, ObserverRemovedDuringNotificationIsSkippedAndItsSlotGoes) {
  std::vector<int> log;
  base::ObserverListBase<Listener> list;
  Named a(&log, 1), b(&log, 2), c(&log, 3);
  list.AddObserver(&a);
  list.AddObserver(&b);
  list.AddObserver(&c);
  a.action = [&] { list.RemoveObserver(&b); };
  b.action = [&] { list.RemoveObserver(&b); };
  list.Notify(&Listener::OnEvent);
  EXPECT_EQ(log, (std::vector<int>{1, 3}));
  EXPECT_EQ(list.SlotCount(), 2u);  // compacted when the notification ended
  EXPECT_FALSE(list.HasObserver(&b));
}

TEST(ObserverListTest, SelfRemovalLeavesNoNullSlotAfterTheNotification) {
  std::vector<int> log;
  base::ObserverListBase<Listener> list;
  Named a(&log, 1), b(&log, 2);
  list.AddObserver(&a);
  list.AddObserver(&b);
  a.action = [&] { list.RemoveObserver(&a); };
  list.Notify(&Listener::OnEvent);
  EXPECT_EQ(log, (std::vector<int>{1, 2}));
  EXPECT_EQ(list.SlotCount(), 1u);
  log.clear();
  list.Notify(&Listener::OnEvent);
  EXPECT_EQ(log, (std::vector<int>{2}));
}

TEST(ObserverListTest, ObserverAddedDuringNotificationIsVisitedAndAddingTwiceDoesNothing) {
  std::vector<int> log;
  base::ObserverListBase<Listener> list;
  Named a(&log, 1), late(&log, 9);
  list.AddObserver(&a);
  list.AddObserver(&a);
  a.action = [&] { list.AddObserver(&late); };
  list.Notify(&Listener::OnEvent);
  EXPECT_EQ(log, (std::vector<int>{1, 9}));
}

TEST(ObserverListTest, After128RemovalsTheNextOneCompactsKeepingOrder) {
  std::vector<int> log;
  base::ObserverListBase<Listener> list;
  std::vector<std::unique_ptr<Named>> observers;
  for (int i = 0; i < 300; ++i) {
    observers.push_back(std::make_unique<Named>(&log, i));
    list.AddObserver(observers.back().get());
  }
  for (int i = 0; i < 128; ++i) list.RemoveObserver(observers[2 * i].get());
  EXPECT_EQ(list.SlotCount(), 300u);
  list.RemoveObserver(observers[256].get());  // the 129th
  EXPECT_EQ(list.SlotCount(), 171u);
  list.RemoveObserver(observers[1].get());  // counter restarted: slot stays
  EXPECT_EQ(list.SlotCount(), 171u);

  list.Notify(&Listener::OnEvent);
  std::vector<int> expected;
  for (int i = 3; i < 256; i += 2) expected.push_back(i);
  for (int i = 257; i < 300; ++i) expected.push_back(i);
  EXPECT_EQ(log, expected);
}

TEST(ObserverListTest, CompactionByCountWaitsForTheRunningNotification) {
  std::vector<int> log;
  base::ObserverListBase<Listener> list;
  std::vector<std::unique_ptr<Named>> extra;
  Named first(&log, 1), last(&log, 2);
  list.AddObserver(&first);
  for (int i = 0; i < 129; ++i) {
    extra.push_back(std::make_unique<Named>(&log, 100));
    list.AddObserver(extra.back().get());
  }
  list.AddObserver(&last);
  // Removing 129 observers while the iteration stands on the first one must
  // not make it skip the last.
  first.action = [&] {
    for (auto& e : extra) list.RemoveObserver(e.get());
  };
  list.Notify(&Listener::OnEvent);
  EXPECT_EQ(log, (std::vector<int>{1, 2}));
  EXPECT_EQ(list.SlotCount(), 2u);
}

TEST(ObserverListTest, ListDestroyedDuringNotificationEndsTheIteration) {
  std::vector<int> log;
  auto list = std::make_unique<base::ObserverListBase<Listener>>();
  Named a(&log, 1), b(&log, 2);
  list->AddObserver(&a);
  list->AddObserver(&b);
  a.action = [&] { list.reset(); };
  base::ObserverListBase<Listener>::Iterator it(*list);
  while (Listener* l = it.GetNext()) l->OnEvent();
  EXPECT_EQ(log, (std::vector<int>{1}));
}

TEST(ObserverListTest, RemovingAnAbsentObserverChangesNothing) {
  std::vector<int> log;
  base::ObserverListBase<Listener> list;
  Named a(&log, 1), stranger(&log, 2);
  list.AddObserver(&a);
  list.RemoveObserver(&stranger);
  list.Notify(&Listener::OnEvent);
  EXPECT_EQ(log, (std::vector<int>{1}));
}

}  // namespace
