#include "session/win32/WindowGuiQueue.h"

#include <utility>

namespace zorvi {

WindowGuiQueue::WindowGuiQueue(HWND window, UINT message) : window_(window), message_(message) {}

void WindowGuiQueue::post(std::function<void()> task) {
  const std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
  wakeWindowLocked();
}

void WindowGuiQueue::runPending() {
  std::unique_lock lock(mutex_);
  wakePosted_ = false;  // this call consumes the wake-up message that brought it here
  while (!tasks_.empty()) {
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    if (!tasks_.empty()) {
      // If the task waits while pumping messages, this wake-up lets the wait run the rest.
      wakeWindowLocked();
    }
    lock.unlock();
    task();
    lock.lock();
  }
}

void WindowGuiQueue::wakeWindowLocked() {
  if (wakePosted_) {
    return;
  }
  // Fails only when the thread's message queue is full (10000 messages) or the window is gone;
  // the tasks then stay queued and the next post tries again.
  wakePosted_ = PostMessageW(window_, message_, 0, 0) != FALSE;
}

}  // namespace zorvi
