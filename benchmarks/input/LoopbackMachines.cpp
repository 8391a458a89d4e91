#include "benchmarks/input/LoopbackMachines.h"

#include <asio/connect.hpp>
#include <asio/ip/tcp.hpp>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>

#include "protocol/Markers.h"
#include "protocol/Payloads.h"
#include "protocol/ReceiveStream.h"

namespace zorvi::bench {

ScreenPoint eventPosition(std::size_t index) {
  return ScreenPoint{static_cast<int>(index % BENCH_WIDTH), static_cast<int>(index / BENCH_WIDTH)};
}

namespace {

std::optional<std::size_t> eventIndexOf(const TextMessage& message) {
  const std::string_view body = message.body;
  if (body.substr(0, MARK_KIND_INPUT.size()) != MARK_KIND_INPUT) {
    return std::nullopt;
  }
  const std::optional<InputEvent> event = readInputPayload(body.substr(MARK_KIND_INPUT.size()));
  if (!event) {
    return std::nullopt;
  }
  const long x = std::lround(static_cast<double>(event->horizontal) * BENCH_WIDTH);
  const long y = std::lround(static_cast<double>(event->vertical) * BENCH_HEIGHT);
  if (x < 0 || y < 0) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * BENCH_WIDTH;
}

}  // namespace

struct LoopbackMachines::Machine {
  explicit Machine(asio::io_context& context, std::size_t number) : socket(context), index(number) {}
  asio::ip::tcp::socket socket;
  std::size_t index;
  ReceiveStream stream;
  std::array<char, 16384> buffer{};
};

LoopbackMachines::LoopbackMachines(std::uint16_t port, std::size_t count, std::size_t maxEvents)
    : maxEvents_(maxEvents), arrivals_(count * maxEvents) {
  const asio::ip::tcp::endpoint server(asio::ip::make_address_v4("127.0.0.1"), port);
  for (std::size_t i = 0; i < count; ++i) {
    auto machine = std::make_unique<Machine>(context_, i);
    machine->socket.connect(server);
    machine->socket.set_option(asio::ip::tcp::no_delay(true));
    readNext(*machine);
    machines_.push_back(std::move(machine));
  }
  reader_ = std::thread([this] { context_.run(); });
}

LoopbackMachines::~LoopbackMachines() {
  context_.stop();
  reader_.join();
}

std::optional<Clock::time_point> LoopbackMachines::arrival(std::size_t machine, std::size_t index) const {
  const std::int64_t at = arrivals_[machine * maxEvents_ + index].load(std::memory_order_acquire);
  if (at == 0) {
    return std::nullopt;
  }
  return Clock::time_point(std::chrono::nanoseconds(at));
}

void LoopbackMachines::clear() {
  for (auto& at : arrivals_) {
    at.store(0, std::memory_order_relaxed);
  }
  deliveries_.store(0, std::memory_order_release);
}

void LoopbackMachines::readNext(Machine& machine) {
  machine.socket.async_read_some(asio::buffer(machine.buffer), [this, &machine](std::error_code error, std::size_t n) {
    if (error) {
      return;
    }
    for (const TextMessage& message : machine.stream.feed(std::string_view(machine.buffer.data(), n))) {
      if (const std::optional<std::size_t> index = eventIndexOf(message)) {
        noteArrival(machine.index, *index);
      }
    }
    readNext(machine);
  });
}

void LoopbackMachines::noteArrival(std::size_t machine, std::size_t index) {
  if (index >= maxEvents_) {
    return;
  }
  const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
  arrivals_[machine * maxEvents_ + index].store(now, std::memory_order_release);
  deliveries_.fetch_add(1, std::memory_order_acq_rel);
}

}  // namespace zorvi::bench
