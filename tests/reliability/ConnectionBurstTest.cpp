// A thousand connections opened and closed in a burst (half of them reset) while two hundred
// machines connect from addresses of their own, answer the profile request and stay. The controller
// lists exactly the machines that answered, and its GUI thread stays responsive: a task posted
// during the burst runs soon after, and the queue drains once the burst is over.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/reliability/ProcessFigures.h"
#include "tests/reliability/ReliabilityRoom.h"

namespace zorvi {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

constexpr int BURST_CONNECTIONS = 1000;
constexpr int HELD_MACHINES = 200;

std::string heldAddress(int index) { return "127.1." + std::to_string(index / 250) + "." + std::to_string(1 + index % 250); }

// Posts a task to the GUI thread every few milliseconds and keeps the longest wait before one ran.
class ResponsivenessProbe {
 public:
  explicit ResponsivenessProbe(GuiThread& gui)
      : thread_([this, &gui](std::stop_token stop) {
          while (!stop.stop_requested()) {
            gui.post([this, posted = Clock::now()] {
              const auto waited = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - posted);
              longestWait = std::max(longestWait, waited);
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
        }) {}
  void stop() { thread_.request_stop(); thread_.join(); }

  std::chrono::microseconds longestWait{0};  // GUI thread only while running

 private:
  std::jthread thread_;
};

class ConnectionBurst : public testing::Test, public ReliabilityRoom {};

TEST_F(ConnectionBurst, everyAnsweringMachineIsListedAndTheGuiThreadStaysResponsive) {
  auto controller = machine("controller");
  const std::uint16_t port = controller->lan.server().port();
  const std::size_t descriptorsBefore = openDescriptors();
  gui.resetPeak();
  ResponsivenessProbe probe(gui);

  std::atomic<int> burstRefused{0};
  std::atomic<bool> burstDone{false};
  std::jthread burst([&] {
    for (int i = 0; i < BURST_CONNECTIONS; ++i) {
      auto peer = LoopbackPeer::connect(port);
      if (!peer) {
        ++burstRefused;
      } else if (i % 2 == 0) {
        peer->abort();
      }
    }
    burstDone = true;
  });

  const auto started = Clock::now();
  std::vector<LoopbackPeer> held;
  for (int i = 0; i < HELD_MACHINES; ++i) {
    auto peer = LoopbackPeer::connect(port, heldAddress(i));
    ASSERT_TRUE(peer) << heldAddress(i);
    ASSERT_TRUE(peer->write(profileAnswer("held-" + std::to_string(i))));
    held.push_back(std::move(*peer));
    gui.runPending();
  }
  ASSERT_TRUE(pumpUntil([&] { return burstDone.load() && controller->clients.rowCount() == HELD_MACHINES; },
                        std::chrono::seconds(60)));
  const auto listed = Clock::now();
  settle(std::chrono::milliseconds(500));
  probe.stop();
  gui.runPending();
  EXPECT_EQ(gui.waiting(), 0u);
  EXPECT_EQ(burstRefused.load(), 0);

  std::map<std::string, std::string> userOfClient;
  for (std::size_t row = 0; row < controller->clients.rowCount(); ++row) {
    userOfClient[controller->clients.row(row).clientId()] = controller->clients.row(row).cells[2];
  }
  ASSERT_EQ(userOfClient.size(), static_cast<std::size_t>(HELD_MACHINES));
  for (int i = 0; i < HELD_MACHINES; ++i) {
    EXPECT_EQ(userOfClient[held[static_cast<std::size_t>(i)].clientId()], "held-" + std::to_string(i));
  }
  reportFigure("burst: all 200 listed after", std::chrono::duration<double, std::milli>(listed - started).count(), "ms");
  reportFigure("burst: longest wait of a GUI task", static_cast<double>(probe.longestWait.count()) / 1000.0, "ms");
  reportFigure("burst: GUI backlog peak", static_cast<double>(gui.peakWaiting()), "events");
  reportFigure("burst: descriptors while 200 are held", static_cast<double>(openDescriptors() - descriptorsBefore), "");

  held.clear();
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 0; }));
  settle();
  EXPECT_EQ(controller->view.status, TEXT_NO_CONNECTION);
  EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

}  // namespace
}  // namespace zorvi
