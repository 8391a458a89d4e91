#pragma once
// Controlled machines on loopback for the broadcast benchmark: N TCP connections to a LanServer,
// read on their own thread, which notes when each Input event arrived at each machine. An event
// is known by the pointer position it carries (see eventPosition).

#include <asio/io_context.hpp>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "input/DisplayMode.h"

namespace zorvi::bench {

inline constexpr int BENCH_WIDTH = 1920;
inline constexpr int BENCH_HEIGHT = 1080;

// Event `index` travels as a pointer position on a BENCH_WIDTH by BENCH_HEIGHT display; six
// significant digits keep each coordinate exact after rounding.
ScreenPoint eventPosition(std::size_t index);

using Clock = std::chrono::steady_clock;

class LoopbackMachines {
 public:
  // Connects `count` machines to 127.0.0.1:`port` and starts reading. Events are numbered below
  // `maxEvents`.
  LoopbackMachines(std::uint16_t port, std::size_t count, std::size_t maxEvents);
  ~LoopbackMachines();

  LoopbackMachines(const LoopbackMachines&) = delete;
  LoopbackMachines& operator=(const LoopbackMachines&) = delete;

  std::size_t count() const { return machines_.size(); }
  // When event `index` reached `machine`, or nothing yet.
  std::optional<Clock::time_point> arrival(std::size_t machine, std::size_t index) const;
  std::size_t deliveries() const { return deliveries_.load(std::memory_order_acquire); }
  // Forgets every arrival (no event may be in flight).
  void clear();

 private:
  struct Machine;
  void readNext(Machine& machine);
  void noteArrival(std::size_t machine, std::size_t index);

  asio::io_context context_;
  std::vector<std::unique_ptr<Machine>> machines_;
  const std::size_t maxEvents_;
  std::vector<std::atomic<std::int64_t>> arrivals_;  // nanoseconds since the clock's epoch; 0: none
  std::atomic<std::size_t> deliveries_{0};
  std::thread reader_;
};

}  // namespace zorvi::bench
