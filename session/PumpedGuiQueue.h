#pragma once
// A GUI-thread queue that its owner pumps by hand: the Linux stand-in for the window message
// queue, used by tests, benchmarks and native tools. The thread that calls runPending/runUntil is
// the GUI thread.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "session/GuiThread.h"

namespace zorvi {

class PumpedGuiQueue final : public GuiThread {
 public:
  void post(std::function<void()> task) override;

  // Runs queued tasks one at a time, in order, until none is left (including tasks posted
  // meanwhile). A task may pump again (a nested wait); the order still holds. Returns how many ran.
  std::size_t runPending();

  // Runs tasks as they come until `done` holds or `timeout` has passed; returns `done()`.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace zorvi
