// 100 MiB without a single message separator, streamed by a peer in chunks as fast as loopback
// takes them, to the controller and to a controlled machine. The run is dropped rather than held:
// memory stays bounded, and messages that follow the run's end on the same connection are handled.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "protocol/Markers.h"
#include "protocol/Payloads.h"
#include "protocol/ReceiveStream.h"
#include "tests/reliability/ProcessFigures.h"
#include "tests/reliability/ReliabilityRoom.h"

namespace zorvi {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

constexpr std::size_t FLOOD_BYTES = std::size_t{100} << 20;
constexpr std::size_t CHUNK_BYTES = std::size_t{64} << 10;
constexpr std::size_t READ_BYTES = 16384;  // the most one data event carries

// Text without any marker in it: every byte is ASCII, and the markers all begin with a GBK character.
std::string floodChunk() {
  std::string chunk(CHUNK_BYTES, '\0');
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    chunk[i] = static_cast<char>('a' + i % 26);
  }
  return chunk;
}

// Streams the flood and then `after` from its own thread, while the test thread pumps the GUI.
class Flooder {
 public:
  Flooder(LoopbackPeer& peer, std::string after)
      : thread_([this, &peer, after = std::move(after)] {
          const std::string chunk = floodChunk();
          bool written = true;
          for (std::size_t sent = 0; written && sent < FLOOD_BYTES; sent += chunk.size()) {
            written = peer.write(chunk);
          }
          floodEnded = Clock::now();
          succeeded = written && peer.write(after);
          done = true;
        }) {}

  std::atomic<bool> done{false};
  std::atomic<bool> succeeded{false};
  Clock::time_point floodEnded;

 private:
  std::jthread thread_;
};

// The framing alone, read by read as a connection delivers them: what it holds back never exceeds
// its limit, however long the run (here sixteen times the limit).
TEST(SeparatorlessRun, theStreamHoldsNoMoreThanItsLimitAndResynchronisesOnTheNextSeparator) {
  ReceiveStream stream;
  const std::string chunk = floodChunk().substr(0, READ_BYTES);
  std::size_t mostHeld = 0;
  for (std::size_t fed = 0; fed < 16 * ReceiveStream::DEFAULT_PENDING_LIMIT; fed += chunk.size()) {
    EXPECT_TRUE(stream.feed(chunk).empty());
    mostHeld = std::max(mostHeld, stream.pendingBytes());
  }
  EXPECT_LE(mostHeld, ReceiveStream::DEFAULT_PENDING_LIMIT);
  reportFigure("stream: most bytes held during a 16 MiB run", static_cast<double>(mostHeld) / 1024.0, "KiB");

  const std::string later = MessageCodec::wrapWithTimestamp("later", "1700000000123");
  const auto messages = stream.feed(profileAnswer("glued") + later);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].body, "later");
  EXPECT_EQ(stream.pendingBytes(), 0u);
}

// Through the real endpoints. Disabled while they fail: the network thread hands every read to the
// GUI queue at once and reads on, so a peer that sends faster than the GUI thread takes the bytes
// apart fills the queue with the whole run (about 100 MiB here; RELIABILITY.md). Enable them once
// the endpoints stop reading a connection whose earlier reads still wait for the GUI thread.
class SeparatorlessFlood : public testing::Test, public ReliabilityRoom {
 protected:
  // Pumps until the flood is through and `handled` holds; reports what it cost.
  void pumpThrough(Flooder& flooder, const std::function<bool()>& handled, const std::string& side) {
    const std::size_t residentBefore = residentKiB();
    resetPeakResident();
    gui.resetPeak();
    const auto started = Clock::now();
    ASSERT_TRUE(pumpUntil([&] { return flooder.done.load() && handled(); }, std::chrono::seconds(120)));
    const auto finished = Clock::now();
    ASSERT_TRUE(flooder.succeeded.load());
    const double seconds = std::chrono::duration<double>(finished - started).count();
    reportFigure(side + " flood MiB/s", static_cast<double>(FLOOD_BYTES >> 20) / seconds, "MiB/s");
    reportFigure(side + " GUI backlog peak", static_cast<double>(gui.peakWaiting()), "events");
    reportFigure(side + " resident growth peak", static_cast<double>(peakResidentKiB() - residentBefore) / 1024.0, "MiB");
    reportFigure(side + " recovery after the flood",
                 std::chrono::duration<double, std::milli>(finished - flooder.floodEnded).count(), "ms");
    // The run is never held whole: what waits for the GUI thread is a small part of the flood.
    EXPECT_LT(gui.peakWaiting() * READ_BYTES, FLOOD_BYTES / 8);
  }
};

TEST_F(SeparatorlessFlood, theControllerDropsTheRunAndListsTheProfileThatFollows) {
  auto controller = machine("controller");
  auto peer = LoopbackPeer::connect(controller->lan.server().port(), "127.0.0.7");
  ASSERT_TRUE(peer);
  // The answer glued to the run's end belongs to the overlong piece; the next one stands alone.
  Flooder flooder(*peer, profileAnswer("glued") + profileAnswer("flooder"));
  pumpThrough(flooder, [&] { return controller->clients.rowCount() == 1; }, "controller");
  settle();
  ASSERT_EQ(controller->clients.rowCount(), 1u);
  EXPECT_EQ(controller->clients.row(0).cells[2], "flooder");
  EXPECT_EQ(controller->clients.row(0).clientId(), peer->clientId());
}

TEST_F(SeparatorlessFlood, aControlledMachineDropsTheRunAndReplaysTheInputThatFollows) {
  LoopbackListener controllerSocket;
  auto controlled = machine("controlled", controllerSocket.port());
  controlled->lan.discovery().datagramArrived(scanFrom("127.0.0.1"));
  std::optional<LoopbackPeer> controller;
  ASSERT_TRUE(pumpUntil([&] { return (controller = controllerSocket.accept(std::chrono::milliseconds(5))).has_value(); }));
  ASSERT_TRUE(pumpUntil([&] { return controlled->view.status == "已连接服务器：127.0.0.1"; }));

  const auto input = [](const char* keyState) { return MessageCodec::wrap(inputBody(InputEvent{0.5f, 0.5f, keyState})); };
  Flooder flooder(*controller, std::string(MARK_MESSAGE_SEP) + input("键盘 A键   按下") + input("键盘 A键   放开"));
  pumpThrough(flooder, [&] { return controlled->local.log.size() == 2; }, "controlled");
  settle();
  EXPECT_EQ(controlled->local.log, (std::vector<std::string>{"replay 键盘 A键   按下", "replay 键盘 A键   放开"}));
}

}  // namespace
}  // namespace zorvi
