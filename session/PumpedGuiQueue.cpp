#include "session/PumpedGuiQueue.h"

#include <utility>

namespace zorvi {

void PumpedGuiQueue::post(std::function<void()> task) {
  bool wasEmpty = false;
  {
    const std::lock_guard lock(mutex_);
    wasEmpty = tasks_.empty();
    tasks_.push_back(std::move(task));
  }
  // The pumping thread waits only on an empty queue and empties it before it waits again, so only
  // the first task of a burst needs to wake it.
  if (wasEmpty) {
    posted_.notify_one();
  }
}

std::size_t PumpedGuiQueue::runPending() {
  std::size_t ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      const std::lock_guard lock(mutex_);
      if (tasks_.empty()) {
        return ran;
      }
      // One at a time, so a nested pump inside this task continues with the next one in order.
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    ++ran;
  }
}

bool PumpedGuiQueue::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    runPending();
    if (done()) {
      return true;
    }
    std::unique_lock lock(mutex_);
    if (!posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) {
      lock.unlock();
      runPending();
      return done();
    }
  }
}

}  // namespace zorvi
