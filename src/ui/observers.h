// A thread-safe list of observers. Controls notify after their own lock is released, on the
// thread that made the change; a Qt view re-posts what it hears to the UI thread.
#pragma once

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace corvane::ui {

template <typename Event>
class Observers {
 public:
  using Callback = std::function<void(const Event&)>;

  // Returns an id for Unsubscribe.
  int Subscribe(Callback callback) {
    std::lock_guard lock(mutex_);
    callbacks_.emplace_back(++lastId_, std::move(callback));
    return lastId_;
  }

  void Unsubscribe(int id) {
    std::lock_guard lock(mutex_);
    std::erase_if(callbacks_, [id](const auto& entry) { return entry.first == id; });
  }

  void Notify(const Event& event) const {
    std::vector<std::pair<int, Callback>> callbacks;
    {
      std::lock_guard lock(mutex_);
      if (callbacks_.empty()) return;
      callbacks = callbacks_;
    }
    for (const auto& [id, callback] : callbacks) callback(event);
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<int, Callback>> callbacks_;
  int lastId_ = 0;
};

}  // namespace corvane::ui
