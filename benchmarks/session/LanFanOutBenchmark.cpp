// Fan-out of ~300-byte events from one LanServer to N LanClient receivers over loopback, paced at
// 1000 events/s and flat out. Each copy of an event carries the event's number and the time its
// send was called; the receivers check that every event arrives once, whole and in order, and
// measure send-to-receive latency (from the call of LanServer::send until the bytes are handled on
// the receiving GUI thread).
//
// Sender and receivers each have their own network thread, as two machines would; all N receivers
// share one, so at N = 100 it does the reading of a hundred machines.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "session/LanClient.h"
#include "session/LanServer.h"
#include "session/NetworkService.h"
#include "session/PumpedGuiQueue.h"

namespace zorvi {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t EVENT_BYTES = 300;
constexpr std::chrono::seconds SETUP_WAIT{30};
constexpr std::chrono::seconds DELIVERY_WAIT{120};
constexpr int SEND_WAIT_SECONDS = 5;

std::int64_t nowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// "<number> <send time in ns>" padded with '.' to EVENT_BYTES.
std::string eventText(std::int64_t number, std::int64_t sentAt) {
  std::string text = std::to_string(number) + " " + std::to_string(sentAt) + " ";
  text.resize(EVENT_BYTES, '.');
  return text;
}

class ServerIds final : public LanServerEvents {
 public:
  void clientEntered(const ClientId& client) override { ids.push_back(client); }
  void dataArrived(const ClientId&, const std::string&) override {}
  void clientLeft(const ClientId&) override {}

  std::vector<ClientId> ids;
};

// One receiving machine: cuts its stream into events and checks their numbers.
class Receiver final : public LanClientEvents {
 public:
  Receiver(std::vector<double>& latenciesMs, std::int64_t& delivered) : latencies_(latenciesMs), delivered_(delivered) {}

  void connectFinished(bool connected) override { connected_ = connected; finished_ = true; }
  void dataArrived(const std::string& bytes) override {
    const std::int64_t arrivedAt = nowNanoseconds();
    pending_ += bytes;
    std::size_t at = 0;
    for (; pending_.size() - at >= EVENT_BYTES; at += EVENT_BYTES) {
      const std::string_view event(pending_.data() + at, EVENT_BYTES);
      const std::size_t space = event.find(' ');
      const std::int64_t number = std::stoll(std::string(event.substr(0, space)));
      const std::int64_t sentAt = std::stoll(std::string(event.substr(space + 1, event.find(' ', space + 1) - space - 1)));
      if (number != nextNumber_) {
        ++outOfOrder_;
      }
      nextNumber_ = number + 1;
      latencies_.push_back(static_cast<double>(arrivedAt - sentAt) / 1e6);
      ++delivered_;
    }
    pending_.erase(0, at);
  }
  void connectionClosed() override {}

  bool finished() const { return finished_; }
  bool connected() const { return connected_; }
  std::int64_t received() const { return nextNumber_; }
  std::int64_t outOfOrder() const { return outOfOrder_; }

 private:
  std::vector<double>& latencies_;
  std::int64_t& delivered_;
  std::string pending_;
  std::int64_t nextNumber_ = 0;
  std::int64_t outOfOrder_ = 0;
  bool finished_ = false;
  bool connected_ = false;
};

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) {
    return 0;
  }
  const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank), values.end());
  return values[rank];
}

// Runs one case; eventsPerSecond 0 means flat out.
void runCase(int connections, int eventsPerSecond, std::int64_t events) {
  PumpedGuiQueue senderGui;
  NetworkService senderNetwork;
  ServerIds serverIds;
  LanServer server(senderNetwork, senderGui, serverIds);
  if (!server.open(0)) {
    std::printf("cannot listen\n");
    return;
  }

  PumpedGuiQueue receiverGui;
  NetworkService receiverNetwork;
  std::vector<double> latencies;
  latencies.reserve(static_cast<std::size_t>(events) * static_cast<std::size_t>(connections));
  std::int64_t delivered = 0;
  std::vector<std::unique_ptr<Receiver>> receivers;
  std::vector<std::unique_ptr<LanClient>> clients;
  for (int index = 0; index < connections; ++index) {
    receivers.push_back(std::make_unique<Receiver>(latencies, delivered));
    clients.push_back(std::make_unique<LanClient>(receiverNetwork, receiverGui, *receivers.back()));
    clients.back()->connect("127.0.0.1", server.port());
  }
  const bool allConnected = receiverGui.runUntil(
      [&] {
        return std::all_of(receivers.begin(), receivers.end(), [](const auto& receiver) { return receiver->finished(); });
      },
      SETUP_WAIT);
  const bool allEntered = senderGui.runUntil(
      [&] { return serverIds.ids.size() == static_cast<std::size_t>(connections); }, SETUP_WAIT);
  if (!allConnected || !allEntered ||
      !std::all_of(receivers.begin(), receivers.end(), [](const auto& receiver) { return receiver->connected(); })) {
    std::printf("N=%d: connections not all made\n", connections);
    return;
  }

  std::atomic<std::int64_t> refused{0};
  const std::clock_t cpuStarted = std::clock();
  const auto started = Clock::now();
  std::thread sender([&] {
    for (std::int64_t number = 0; number < events; ++number) {
      if (eventsPerSecond > 0) {
        std::this_thread::sleep_until(started + number * std::chrono::nanoseconds(1'000'000'000 / eventsPerSecond));
      }
      for (const ClientId& client : serverIds.ids) {
        if (!server.send(client, eventText(number, nowNanoseconds()), SEND_WAIT_SECONDS)) {
          ++refused;
        }
      }
    }
  });
  const std::int64_t expected = events * connections;
  receiverGui.runUntil([&] { return delivered == expected; }, DELIVERY_WAIT);
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  sender.join();
  // Both sides' threads together, in percent of one core.
  const double cpuPercent = 100.0 * static_cast<double>(std::clock() - cpuStarted) / CLOCKS_PER_SEC / seconds;

  std::int64_t outOfOrder = 0;
  std::int64_t missing = 0;
  for (const auto& receiver : receivers) {
    outOfOrder += receiver->outOfOrder();
    missing += events - receiver->received();
  }
  const std::string rate = eventsPerSecond > 0 ? std::to_string(eventsPerSecond) + "/s" : "flat out";
  std::printf("%4d  %-9s %7lld  %10.0f  %10.0f  %8.3f  %8.3f  %7lld  %9lld  %7lld  %5.0f\n", connections,
              rate.c_str(), static_cast<long long>(events), static_cast<double>(events) / seconds,
              static_cast<double>(delivered) / seconds, percentile(latencies, 0.50), percentile(latencies, 0.99),
              static_cast<long long>(missing), static_cast<long long>(outOfOrder),
              static_cast<long long>(refused.load()), cpuPercent);
}

}  // namespace
}  // namespace zorvi

int main() {
  std::printf("Fan-out of %zu-byte events from one LanServer to N LanClients over loopback\n", zorvi::EVENT_BYTES);
  std::printf("   N  rate       events  events/s    sends/s     p50 ms    p99 ms  missing  reordered  refused   cpu%%\n");
  for (const int connections : {1, 10, 100}) {
    zorvi::runCase(connections, 1000, 3000);
  }
  for (const int connections : {1, 10, 100}) {
    zorvi::runCase(connections, 0, connections == 100 ? 5000 : 50000);
  }
  return 0;
}
