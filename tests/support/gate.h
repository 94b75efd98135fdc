// A one-way gate between test threads: closed until opened, waited on with a bound.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace corvane::testing {

class Gate {
 public:
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  // Waits until opened, at most `bound`; true when it was opened.
  bool Wait(std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, bound, [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

}  // namespace corvane::testing
