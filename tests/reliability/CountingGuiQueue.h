#pragma once
// The GUI queue of the tests, counting how many events wait in it: the backlog a network peer can
// build up in front of the GUI thread, and so the memory that backlog holds. Pumped like
// PumpedGuiQueue, by the test thread, which is the GUI thread.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <utility>

#include "session/PumpedGuiQueue.h"

namespace zorvi::test {

class CountingGuiQueue final : public GuiThread {
 public:
  void post(std::function<void()> task) override {
    const std::size_t now = waiting_.fetch_add(1) + 1;
    std::size_t peak = peak_.load();
    while (now > peak && !peak_.compare_exchange_weak(peak, now)) {
    }
    queue_.post([this, task = std::move(task)] {
      waiting_.fetch_sub(1);
      task();
    });
  }

  std::size_t runPending() { return queue_.runPending(); }
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return queue_.runUntil(done, timeout);
  }

  // Events posted and not yet run, now and at most since the last resetPeak().
  std::size_t waiting() const { return waiting_.load(); }
  std::size_t peakWaiting() const { return peak_.load(); }
  void resetPeak() { peak_.store(waiting_.load()); }

 private:
  PumpedGuiQueue queue_;
  std::atomic<std::size_t> waiting_{0};
  std::atomic<std::size_t> peak_{0};
};

}  // namespace zorvi::test
