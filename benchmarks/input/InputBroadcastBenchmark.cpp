// Cost of one hook call with control on, and hook-to-wire latency to N loopback machines through
// the real LanServer, for the ordered sending thread (InputBroadcast) beside a thread per event.
// Events are pointer moves paced like a fast mouse; the machines read on their own thread.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "benchmarks/input/LoopbackMachines.h"
#include "benchmarks/input/ThreadPerEventBroadcast.h"
#include "console/ClientListBridges.h"
#include "input/InputBroadcast.h"
#include "input/InputCapture.h"
#include "session/ClientList.h"
#include "session/LanServer.h"
#include "session/NetworkService.h"
#include "session/PumpedGuiQueue.h"

namespace zorvi::bench {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t WARM_UP_EVENTS = 200;
constexpr std::size_t MAX_EVENTS = 2000;
constexpr auto DELIVERY_BOUND = 20s;
constexpr std::uint32_t MOUSE_MOVE = 0x200;

class BenchScreen final : public ScreenQuery {
 public:
  DisplayMode queryDisplayMode() override { return DisplayMode{32, BENCH_WIDTH, BENCH_HEIGHT, 60}; }
  ScreenPoint cursorPosition() override { return pointer; }
  ScreenPoint pointer;
};

class QuietView final : public CaptureView {
 public:
  void showKeyState(std::string_view keyState) override { shown = keyState.size(); }
  void setButtonEnabled(ControlButton, bool) override {}
  std::size_t shown = 0;
};

class NoScreenshot final : public HotKeyScreenshot {
 public:
  void armCounter() override {}
  void shoot() override {}
};

class NoGuiTasks final : public GuiThreadTasks {
 public:
  bool post(std::function<void()>) override { return false; }
  void workerWait(unsigned) override {}
};

class RecordingEvents final : public LanServerEvents {
 public:
  void clientEntered(const ClientId& client) override { entered.push_back(client); }
  void dataArrived(const ClientId&, const std::string&) override {}
  void clientLeft(const ClientId&) override {}
  std::vector<ClientId> entered;
};

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Spread {
  double median = 0;
  double p99 = 0;
  double max = 0;
};

Spread spreadOf(std::vector<double> values) {
  if (values.empty()) {
    return {};
  }
  std::sort(values.begin(), values.end());
  return Spread{values[values.size() / 2], values[std::min(values.size() - 1, values.size() * 99 / 100)],
                values.back()};
}

// One measured run: so many machines, pointer moves at this pace.
struct RunPlan {
  std::size_t machines;
  std::chrono::microseconds interval;  // 1 ms: a 1000 Hz mouse; 8 ms: a common 125 Hz one
  std::size_t events;
};

struct RunFigures {
  Spread hookCall;
  Spread delivery;  // hook call to one machine's read
  Spread allMachines;  // hook call to the last machine's read
  std::size_t missing = 0;
  std::size_t reordered = 0;  // deliveries that came before an earlier event's
};

// One room: a LanServer with N machines connected and ticked.
class Room {
 public:
  explicit Room(std::size_t machineCount) : server_(network_, gui_, events_) {
    if (!server_.open(0)) {
      throw std::runtime_error("cannot open the server");
    }
    machines_.emplace(server_.port(), machineCount, MAX_EVENTS);
    if (!gui_.runUntil([&] { return events_.entered.size() == machineCount; }, 10s)) {
      throw std::runtime_error("machines did not all connect");
    }
    for (const ClientId& client : events_.entered) {
      ClientRow row;
      row.cells[COLUMN_ADDRESS] = client.substr(0, client.find(':'));
      row.cells[COLUMN_PORT] = client.substr(client.find(':') + 1);
      row.ticked = true;
      list_.appendRow(std::move(row));
    }
  }

  // Sends `events` pointer moves through a capture with control on, handing them to `broadcaster`.
  RunFigures run(Broadcaster& broadcaster, std::size_t events, std::chrono::microseconds interval) {
    machines_->clear();
    BenchScreen screen;
    QuietView view;
    NoScreenshot screenshot;
    NoGuiTasks gui;
    InputCapture capture(InputCapturePorts{screen, view, screenshot, gui, broadcaster});
    capture.startControl();

    std::vector<Clock::time_point> hooked(events);
    std::vector<double> hookCall(events);
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < events; ++i) {
      screen.pointer = eventPosition(i);
      const Clock::time_point before = Clock::now();
      capture.onHookEvent(HookEvent{MOUSE_MOVE, 0});
      hookCall[i] = micros(Clock::now() - before);
      hooked[i] = before;
      std::this_thread::sleep_until(start + static_cast<long>(i + 1) * interval);
    }
    const std::size_t expected = events * machines_->count();
    const Clock::time_point bound = Clock::now() + DELIVERY_BOUND;
    while (machines_->deliveries() < expected && Clock::now() < bound) {
      std::this_thread::sleep_for(1ms);
    }

    RunFigures figures;
    figures.hookCall = spreadOf(hookCall);
    std::vector<double> delivery;
    std::vector<double> allMachines;
    for (std::size_t i = 0; i < events; ++i) {
      bool everyMachine = true;
      double latest = 0;
      for (std::size_t m = 0; m < machines_->count(); ++m) {
        const std::optional<Clock::time_point> at = machines_->arrival(m, i);
        if (!at) {
          ++figures.missing;
          everyMachine = false;
          continue;
        }
        delivery.push_back(micros(*at - hooked[i]));
        latest = std::max(latest, delivery.back());
      }
      if (everyMachine) {
        allMachines.push_back(latest);
      }
    }
    for (std::size_t m = 0; m < machines_->count(); ++m) {
      std::optional<Clock::time_point> latest;
      for (std::size_t i = 0; i < events; ++i) {
        const std::optional<Clock::time_point> at = machines_->arrival(m, i);
        if (at && latest && *at < *latest) {
          ++figures.reordered;
        }
        if (at && (!latest || *at > *latest)) {
          latest = at;
        }
      }
    }
    figures.delivery = spreadOf(std::move(delivery));
    figures.allMachines = spreadOf(std::move(allMachines));
    return figures;
  }

  ClientList& list() { return list_; }
  LanServer& server() { return server_; }

 private:
  NetworkService network_;
  PumpedGuiQueue gui_;
  RecordingEvents events_;
  LanServer server_;
  ClientList list_;
  std::optional<LoopbackMachines> machines_;  // destroyed before the server
};

void print(const char* design, const RunPlan& plan, const RunFigures& f) {
  std::printf("%-16s %4zu %5lld %5zu | %7.2f %7.2f %8.1f | %8.1f %8.1f | %8.1f %8.1f %8.1f | %7zu %9zu\n", design,
              plan.machines, static_cast<long long>(plan.interval.count()), plan.events, f.hookCall.median,
              f.hookCall.p99, f.hookCall.max, f.delivery.median, f.delivery.p99, f.allMachines.median,
              f.allMachines.p99, f.allMachines.max, f.missing, f.reordered);
}

}  // namespace
}  // namespace zorvi::bench

int main() {
  using namespace zorvi;
  using namespace zorvi::bench;
  using std::chrono::microseconds;
  const RunPlan plans[] = {{1, microseconds(1000), 2000},
                           {10, microseconds(1000), 2000},
                           {100, microseconds(1000), 2000},
                           {100, microseconds(8000), 500}};
  std::printf("pointer moves through InputCapture with control on; times in microseconds\n");
  std::printf("%-16s %4s %5s %5s | %7s %7s %8s | %8s %8s | %8s %8s %8s | %7s %9s\n", "design", "N", "every", "moves",
              "hook50", "hook99", "hookmax", "wire50", "wire99", "allN50", "allN99", "allNmax", "missing", "reordered");
  for (const RunPlan& plan : plans) {
    Room room(plan.machines);
    TickedRowTargets targets(room.list());
    ServerInputSender sender(room.server());
    {
      InputBroadcast ordered(targets, sender);
      room.run(ordered, WARM_UP_EVENTS, plan.interval);
      print("ordered thread", plan, room.run(ordered, plan.events, plan.interval));
    }
    {
      ThreadPerEventBroadcast perEvent(targets, room.server());
      room.run(perEvent, WARM_UP_EVENTS, plan.interval);
      print("thread per event", plan, room.run(perEvent, plan.events, plan.interval));
    }
  }
  return 0;
}
