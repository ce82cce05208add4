// A list of observers that tolerates changes during a notification.
//
// Observers added during a notification are visited in it; removed ones are
// skipped. Removal leaves a null slot; slots are compacted when the last
// running iteration ends and after more than 128 removals, never under a
// running iteration (that would shift the entries it has yet to visit).
// An iteration whose list is destroyed meanwhile simply ends.
//
// Thread affinity: none of its own; each list is used on its owner's thread.

#ifndef BASE_OBSERVER_LIST_H_
#define BASE_OBSERVER_LIST_H_

#include <algorithm>
#include <cstddef>
#include <vector>

#include "base/weak_ptr.h"

namespace base {

template <class T>
class ObserverListBase {
 public:
  class Iterator {
   public:
    explicit Iterator(ObserverListBase& list)
        : list_(list.weak_owner_.GetFlag(), &list) {
      ++list.iterations_;
    }
    ~Iterator() {
      ObserverListBase* list = list_.Get();
      if (list && --list->iterations_ == 0) list->Compact();
    }
    Iterator(const Iterator&) = delete;
    Iterator& operator=(const Iterator&) = delete;

    // The next live observer, or null at the end.
    T* GetNext() {
      ObserverListBase* list = list_.Get();
      if (!list) return nullptr;
      while (index_ < list->observers_.size()) {
        T* observer = list->observers_[index_++];
        if (observer) return observer;
      }
      return nullptr;
    }

   private:
    WeakPtr<ObserverListBase> list_;
    size_t index_ = 0;
  };

  ObserverListBase() = default;
  ObserverListBase(const ObserverListBase&) = delete;
  ObserverListBase& operator=(const ObserverListBase&) = delete;

  void AddObserver(T* observer) {
    if (!HasObserver(observer)) observers_.push_back(observer);
  }

  void RemoveObserver(T* observer) {
    auto it = std::find(observers_.begin(), observers_.end(), observer);
    if (it != observers_.end()) *it = nullptr;
    if (++removals_ > 128) {
      removals_ = 0;
      if (iterations_ == 0) Compact();
    }
  }

  bool HasObserver(const T* observer) const {
    return observer && std::find(observers_.begin(), observers_.end(),
                                 observer) != observers_.end();
  }

  bool IsEmpty() const {
    return std::all_of(observers_.begin(), observers_.end(),
                       [](const T* o) { return o == nullptr; });
  }

  // Slots including removed ones not yet compacted.
  size_t SlotCount() const { return observers_.size(); }

  // Calls (observer->*method)(args...) on each observer in order.
  template <class Method, class... Args>
  void Notify(Method method, const Args&... args) {
    Iterator it(*this);
    while (T* observer = it.GetNext()) (observer->*method)(args...);
  }

 private:
  void Compact() {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), nullptr),
                     observers_.end());
  }

  WeakFlagOwner weak_owner_;
  std::vector<T*> observers_;
  int removals_ = 0;     // removals since the last compaction by count
  int iterations_ = 0;   // iterators alive over this list
};

}  // namespace base

#endif  // BASE_OBSERVER_LIST_H_
