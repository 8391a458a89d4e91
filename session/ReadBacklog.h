#pragma once
// The bytes an endpoint has read and handed to the GUI thread that the GUI thread has not taken
// yet. Past READ_BACKLOG_LIMIT the endpoint reads no more until the GUI thread catches up, so a
// peer that sends faster than the program handles is held back by TCP (or, for datagrams, loses
// what the system's receive buffer cannot hold) instead of filling memory.

#include <cstddef>
#include <mutex>

namespace zorvi {

inline constexpr std::size_t READ_BACKLOG_LIMIT = 256 * 1024;

class ReadBacklog {
 public:
  // Network thread, before the bytes are handed over (the GUI thread may take them at once).
  void handedOver(std::size_t count) {
    const std::lock_guard lock(mutex_);
    untaken_ += count;
  }

  // Network thread, after a hand-over: true to read on; false to pause until taken() says so.
  bool mayReadOn() {
    const std::lock_guard lock(mutex_);
    paused_ = untaken_ >= READ_BACKLOG_LIMIT;
    return !paused_;
  }

  // Any thread: the GUI thread took `count` bytes. True when reading was paused and must start
  // again now (the caller starts it, once).
  bool taken(std::size_t count) {
    const std::lock_guard lock(mutex_);
    untaken_ -= count;
    if (!paused_ || untaken_ >= READ_BACKLOG_LIMIT) {
      return false;
    }
    paused_ = false;
    return true;
  }

 private:
  std::mutex mutex_;
  std::size_t untaken_ = 0;
  bool paused_ = false;
};

}  // namespace zorvi
