#include "session/LanDatagram.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "LanTestRecorders.h"
#include "session/NetworkService.h"
#include "session/PumpedGuiQueue.h"
#include "session/ReadBacklog.h"

namespace zorvi {
namespace {

using lantest::RecordingDatagramEvents;

constexpr std::chrono::milliseconds EVENT_WAIT{10000};

class LanDatagramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(receiver.open(0));
    ASSERT_TRUE(sender.open(0));
  }

  bool pumpUntilReceived(std::size_t count) {
    return gui.runUntil([&] { return received.datagrams.size() >= count; }, EVENT_WAIT);
  }

  PumpedGuiQueue gui;
  NetworkService network;
  RecordingDatagramEvents received;
  RecordingDatagramEvents unused;
  LanDatagram receiver{network, gui, received};
  LanDatagram sender{network, gui, unused};
};

TEST_F(LanDatagramTest, EachDatagramArrivesWholeAsSent) {
  const std::string withZero("扫描\0after", 10);
  const std::string large(60000, 'L');
  for (const std::string& text : {std::string("scan"), withZero, large}) {
    EXPECT_TRUE(sender.send("127.0.0.1", receiver.port(), text));
  }
  ASSERT_TRUE(pumpUntilReceived(3));
  EXPECT_EQ(received.datagrams, (std::vector<std::string>{"scan", withZero, large}));
}

TEST_F(LanDatagramTest, AnEmptyDatagramRaisesNoEvent) {
  EXPECT_TRUE(sender.send("127.0.0.1", receiver.port(), ""));
  EXPECT_TRUE(sender.send("127.0.0.1", receiver.port(), "next"));
  ASSERT_TRUE(pumpUntilReceived(1));
  EXPECT_EQ(received.datagrams, std::vector<std::string>{"next"});
}

TEST_F(LanDatagramTest, HostNamesAndBroadcastAddressesAreReached) {
  EXPECT_TRUE(sender.send("localhost", receiver.port(), "by name"));
  ASSERT_TRUE(pumpUntilReceived(1));
  // Only a socket allowed to broadcast may send to the loopback net's broadcast address.
  EXPECT_TRUE(sender.send("127.255.255.255", receiver.port(), "to all"));
  ASSERT_TRUE(pumpUntilReceived(2));
  EXPECT_EQ(received.datagrams, (std::vector<std::string>{"by name", "to all"}));
}

TEST_F(LanDatagramTest, WhatCannotBeSentReturnsFalse) {
  EXPECT_FALSE(sender.send("no-such-host.invalid", receiver.port(), "x"));
  EXPECT_FALSE(sender.send("127.0.0.1", receiver.port(), std::string(70000, 'x')));  // over the UDP limit
  sender.close();
  sender.close();
  EXPECT_FALSE(sender.send("127.0.0.1", receiver.port(), "x"));
}

TEST_F(LanDatagramTest, ASecondInstanceCannotBindThePortAndStaysClosed) {
  RecordingDatagramEvents secondEvents;
  LanDatagram second(network, gui, secondEvents);
  EXPECT_FALSE(second.open(receiver.port()));
  EXPECT_FALSE(second.isOpen());
  EXPECT_FALSE(second.send("127.0.0.1", receiver.port(), "x"));
  EXPECT_TRUE(sender.send("127.0.0.1", receiver.port(), "still here"));
  ASSERT_TRUE(pumpUntilReceived(1));
  EXPECT_EQ(received.datagrams, std::vector<std::string>{"still here"});
  EXPECT_TRUE(secondEvents.datagrams.empty());
}

TEST_F(LanDatagramTest, CloseDropsDatagramsNotYetHandled) {
  lantest::WatchedGuiQueue watched;
  RecordingDatagramEvents seen;
  LanDatagram closing(network, watched, seen);
  ASSERT_TRUE(closing.open(0));
  EXPECT_TRUE(sender.send("127.0.0.1", closing.port(), "unhandled"));
  ASSERT_TRUE(watched.waitForPosts(1, EVENT_WAIT));
  closing.close();
  EXPECT_EQ(watched.queue.runPending(), 1u);
  EXPECT_TRUE(seen.datagrams.empty());
}

// While the GUI thread handles nothing, at most READ_BACKLOG_LIMIT bytes of datagrams wait for it;
// the system drops what its receive buffer cannot hold. Once the GUI thread runs, receiving goes on.
TEST_F(LanDatagramTest, AFloodWaitsForTheGuiThreadOnlyUpToTheBacklogLimit) {
  lantest::WatchedGuiQueue watched;
  RecordingDatagramEvents seen;
  LanDatagram flooded(network, watched, seen);
  ASSERT_TRUE(flooded.open(0));
  const std::string large(60000, 'F');
  for (int index = 0; index < 200; ++index) {  // 12 MB, far more than any receive buffer
    sender.send("127.0.0.1", flooded.port(), large);
  }
  const std::size_t mostWaiting = READ_BACKLOG_LIMIT / large.size() + 1;
  ASSERT_TRUE(watched.waitForPosts(mostWaiting, EVENT_WAIT));
  EXPECT_FALSE(watched.waitForPosts(mostWaiting + 1, std::chrono::milliseconds(500)));

  // The receive buffer may still be full of the flood when the first "after" comes: send again.
  const auto afterArrived = [&] { return !seen.datagrams.empty() && seen.datagrams.back() == "after"; };
  for (int attempt = 0; attempt < 50 && !afterArrived(); ++attempt) {
    EXPECT_TRUE(sender.send("127.0.0.1", flooded.port(), "after"));
    watched.queue.runUntil(afterArrived, std::chrono::milliseconds(200));
  }
  ASSERT_TRUE(afterArrived());
  EXPECT_GE(seen.datagrams.size(), mostWaiting + 1);
}

}  // namespace
}  // namespace zorvi
