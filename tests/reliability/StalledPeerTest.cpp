// The controller broadcasts input to four ticked machines while one of them has stopped reading:
// five seconds at 1000 events a second, then unpaced until the stalled machine's queue has been
// full for a while. The controller's memory for that machine stays within its write-queue bound,
// every other machine receives every event in order, and the stalled machine's messages are dropped
// whole: once it reads again it finds only whole messages, in order, with gaps where queueing
// was refused, and it receives new events again at once.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/ClientListBridges.h"
#include "input/InputBroadcast.h"
#include "protocol/MessageKinds.h"
#include "protocol/Payloads.h"
#include "tests/reliability/ProcessFigures.h"
#include "tests/reliability/ReliabilityRoom.h"

namespace zorvi {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

constexpr int PACED_EVENTS = 5000;             // 5 s at 1000 events/s
constexpr int MOST_EVENTS = 60000;             // the unpaced phase ends here at the latest
constexpr int REFUSALS_TO_SEE = 500;           // ... or once the stalled queue refused this many
constexpr std::size_t KERNEL_BUFFERS = std::size_t{16} << 20;  // generous: both sockets' buffers

// The real sender, with the outcome of every send to each machine recorded in order.
class RecordingSender final : public InputSender {
 public:
  explicit RecordingSender(InputSender& inner) : inner_(inner) {}
  bool send(std::string_view clientId, std::string_view message) override {
    const bool queued = inner_.send(clientId, message);
    const std::lock_guard lock(mutex_);
    outcomes_[std::string(clientId)].push_back(queued ? message.size() : 0);
    return queued;
  }
  // Bytes queued by each send to `clientId`, 0 for a refused one.
  std::vector<std::size_t> outcomes(const std::string& clientId) {
    const std::lock_guard lock(mutex_);
    return outcomes_[clientId];
  }

 private:
  InputSender& inner_;
  std::mutex mutex_;
  std::map<std::string, std::vector<std::size_t>> outcomes_;
};

// A raw machine that reads everything on a thread of its own.
class ReadingPeer {
 public:
  explicit ReadingPeer(LoopbackPeer peer)
      : peer_(std::move(peer)), thread_([this](std::stop_token stop) {
          while (!stop.stop_requested() && !peer_.closedByOtherSide()) {
            std::string got = peer_.readUntil([](std::string_view bytes) { return !bytes.empty(); },
                                              std::chrono::milliseconds(20));
            const std::lock_guard lock(mutex_);
            bytes_ += got;
          }
        }) {}
  std::string bytes() {
    const std::lock_guard lock(mutex_);
    return bytes_;
  }

 private:
  LoopbackPeer peer_;
  std::mutex mutex_;
  std::string bytes_;
  std::jthread thread_;
};

// The sequence numbers the Input bodies carry as their key states; -1 for any other body.
std::vector<int> sequenceOf(const std::vector<std::string>& bodies) {
  std::vector<int> sequence;
  for (const std::string& body : bodies) {
    const KindedBody kinded = recogniseOnControlled(body);
    const auto event = kinded.kind == MessageKind::Input ? readInputPayload(kinded.payload) : std::nullopt;
    sequence.push_back(event ? std::stoi(event->keyState) : -1);
  }
  return sequence;
}

std::vector<int> upTo(int count) {
  std::vector<int> numbers(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    numbers[static_cast<std::size_t>(i)] = i;
  }
  return numbers;
}

class StalledPeer : public testing::Test, public ReliabilityRoom {
 protected:
  std::optional<LoopbackPeer> listedPeer(const std::string& address, std::optional<int> receiveBuffer = {}) {
    auto peer = LoopbackPeer::connect(controller->lan.server().port(), address, receiveBuffer);
    EXPECT_TRUE(peer && peer->write(profileAnswer(address)));
    const std::size_t rows = controller->clients.rowCount();
    EXPECT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == rows + 1; }));
    peer->readUntil([](std::string_view bytes) { return bytes.size() >= PROFILE_REQUEST_MESSAGE.size(); });
    return peer;
  }

  std::unique_ptr<TestMachine> controller = machine("controller");
};

TEST_F(StalledPeer, theOthersReceiveEverythingInOrderAndTheStalledOneOnlyWholeMessages) {
  auto replaying = machine("replaying", controller->lan.server().port());
  replaying->lan.discovery().datagramArrived(scanFrom("127.0.0.1"));
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 1; }));
  ReadingPeer second(*listedPeer("127.0.0.2"));
  ReadingPeer third(*listedPeer("127.0.0.3"));
  auto stalled = listedPeer("127.0.0.9", 4096);
  ASSERT_TRUE(stalled);
  const std::string stalledId = stalled->clientId();
  for (std::size_t row = 0; row < controller->clients.rowCount(); ++row) {
    controller->clients.setTicked(row, true);
  }
  replaying->local.log.clear();

  TickedRowTargets targets(controller->clients);
  ServerInputSender serverSender(controller->lan.server());
  RecordingSender sender(serverSender);
  InputBroadcast broadcast(targets, sender);
  const auto eventNumber = [](int i) { return InputEvent{0.5f, 0.5f, std::to_string(i)}; };
  const std::size_t residentBefore = residentKiB();
  resetPeakResident();

  // Paced like a hand on a mouse: one event a millisecond.
  const auto start = Clock::now();
  int sent = 0;
  for (; sent < PACED_EVENTS; ++sent) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(sent));
    broadcast.broadcast(eventNumber(sent));
    gui.runPending();
  }
  // Unpaced, in steps the broadcast queue always has room for, until the stalled queue is full.
  const auto refusals = [&] {
    const auto outcomes = sender.outcomes(stalledId);
    return std::count(outcomes.begin(), outcomes.end(), std::size_t{0});
  };
  while (sent < MOST_EVENTS && refusals() < REFUSALS_TO_SEE) {
    for (const int stepEnd = sent + 64; sent < stepEnd; ++sent) {
      broadcast.broadcast(eventNumber(sent));
    }
    ASSERT_TRUE(pumpUntil([&] { return sender.outcomes(stalledId).size() == static_cast<std::size_t>(sent); }));
  }
  ASSERT_GE(refusals(), REFUSALS_TO_SEE) << "the stalled machine's queue never filled";

  // Every other machine, real or raw, received every event in order.
  ASSERT_TRUE(pumpUntil([&] { return replaying->local.log.size() == static_cast<std::size_t>(sent); },
                        std::chrono::seconds(60)));
  std::vector<std::string> expectedLog;
  for (int i = 0; i < sent; ++i) {
    expectedLog.push_back("replay " + std::to_string(i));
  }
  EXPECT_EQ(replaying->local.log, expectedLog);
  for (ReadingPeer* reading : {&second, &third}) {
    ReceivedMessages received;
    ASSERT_TRUE(pumpUntil([&] {
      received = takeApartMessages(reading->bytes());
      return received.bodies.size() >= static_cast<std::size_t>(sent);
    }));
    EXPECT_EQ(received.malformedPieces, 0u);
    EXPECT_TRUE(received.unfinished.empty());
    EXPECT_EQ(sequenceOf(received.bodies), upTo(sent));
  }

  // What the controller took on for the stalled machine is bounded by its queue and the sockets.
  const std::vector<std::size_t> outcomes = sender.outcomes(stalledId);
  std::size_t queuedBytes = 0;
  std::vector<int> queuedEvents;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    queuedBytes += outcomes[i];
    if (outcomes[i] > 0) {
      queuedEvents.push_back(static_cast<int>(i));
    }
  }
  EXPECT_LE(queuedBytes, WRITE_QUEUE_LIMIT + KERNEL_BUFFERS);
  reportFigure("stalled: events broadcast", sent, "");
  reportFigure("stalled: events refused for the stalled machine", static_cast<double>(refusals()), "");
  reportFigure("stalled: bytes taken on for the stalled machine", static_cast<double>(queuedBytes) / 1048576.0, "MiB");
  reportFigure("stalled: resident growth peak", static_cast<double>(peakResidentKiB() - residentBefore) / 1024.0, "MiB");

  // It reads again: whole messages only, in order, exactly the ones that were queued; and new
  // events reach it at once.
  ReceivedMessages received;
  std::string bytes;
  ASSERT_TRUE(pumpUntil([&] {
    bytes += stalled->readWaiting();
    received = takeApartMessages(bytes);
    return received.bodies.size() >= queuedEvents.size();
  }, std::chrono::seconds(60)));
  EXPECT_EQ(received.malformedPieces, 0u);
  EXPECT_TRUE(received.unfinished.empty());
  EXPECT_EQ(sequenceOf(received.bodies), queuedEvents);

  const auto recoveryStart = Clock::now();
  broadcast.broadcast(eventNumber(sent));
  std::string after;
  ASSERT_TRUE(pumpUntil([&] {
    after += stalled->readWaiting();
    return sequenceOf(takeApartMessages(after).bodies) == std::vector<int>{sent};
  }));
  reportFigure("stalled: first new event after reading again",
               std::chrono::duration<double, std::milli>(Clock::now() - recoveryStart).count(), "ms");
}

}  // namespace
}  // namespace zorvi
