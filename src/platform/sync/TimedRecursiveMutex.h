// A recursive mutex whose waits can be bounded, built from a plain mutex and a condition
// variable so that thread checkers see every acquisition (the standard timed mutexes lock
// through a call they do not intercept, and then report its unlock as one of an unlocked
// mutex). Usable with std::unique_lock and std::lock_guard.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vx {

class TimedRecursiveMutex {
 public:
  void lock() {
    std::unique_lock guard(mutex_);
    const auto self = std::this_thread::get_id();
    released_.wait(guard, [&] { return depth_ == 0 || owner_ == self; });
    Take(self);
  }

  bool try_lock() { return try_lock_for(std::chrono::milliseconds(0)); }

  template <typename Rep, typename Period>
  bool try_lock_for(const std::chrono::duration<Rep, Period>& timeout) {
    std::unique_lock guard(mutex_);
    const auto self = std::this_thread::get_id();
    if (!released_.wait_for(guard, timeout, [&] { return depth_ == 0 || owner_ == self; })) {
      return false;
    }
    Take(self);
    return true;
  }

  void unlock() {
    {
      std::lock_guard guard(mutex_);
      if (--depth_ > 0) return;
      owner_ = {};
    }
    released_.notify_one();
  }

 private:
  void Take(std::thread::id self) {
    owner_ = self;
    ++depth_;
  }

  std::mutex mutex_;
  std::condition_variable released_;
  std::thread::id owner_;
  int depth_ = 0;
};

}  // namespace vx
