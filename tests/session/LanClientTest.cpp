#include "session/LanClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "LanTestPeers.h"
#include "LanTestRecorders.h"
#include "session/NetworkService.h"
#include "session/PumpedGuiQueue.h"

namespace zorvi {
namespace {

using lantest::closedPort;
using lantest::RecordingClientEvents;
using lantest::TestListener;
using lantest::TestPeer;

constexpr std::chrono::milliseconds EVENT_WAIT{10000};
constexpr std::chrono::milliseconds SHORT_BOUND{300};

class LanClientTest : public ::testing::Test {
 protected:
  bool pumpUntil(const std::function<bool()>& done) { return gui.runUntil(done, EVENT_WAIT); }

  bool pumpUntilConnectResults(std::size_t count) {
    return pumpUntil([&] { return events.connectResults.size() >= count; });
  }

  // Connects the client to the listener and returns the far side.
  TestPeer connected() {
    client.connect("127.0.0.1", listener.port());
    std::optional<TestPeer> peer = listener.accept();
    EXPECT_TRUE(peer.has_value());
    EXPECT_TRUE(pumpUntilConnectResults(events.connectResults.size() + 1));
    EXPECT_EQ(events.connectResults.back(), true);
    return std::move(*peer);
  }

  PumpedGuiQueue gui;
  NetworkService network;
  RecordingClientEvents events;
  LanClient client{network, gui, events};
  TestListener listener;
};

TEST_F(LanClientTest, ConnectsReceivesSendsAndSeesThePeerClose) {
  EXPECT_FALSE(client.send("too early"));
  TestPeer peer = connected();

  std::string written;
  for (int index = 0; index < 2000; ++index) {
    const std::string message = "消息 " + std::to_string(index) + ";";
    peer.write(message);
    written += message;
  }
  EXPECT_TRUE(pumpUntil([&] { return events.received.size() >= written.size(); }));
  EXPECT_EQ(events.received, written);

  std::string sent;
  for (int index = 0; index < 2000; ++index) {
    const std::string message = "回复 " + std::to_string(index) + ";";
    ASSERT_TRUE(client.send(message));
    sent += message;
  }
  EXPECT_TRUE(client.send(""));
  EXPECT_EQ(peer.readExactly(sent.size()), sent);

  peer.close();
  ASSERT_TRUE(pumpUntil([&] { return events.closes == 1; }));
  EXPECT_FALSE(client.send("too late"));
  EXPECT_FALSE(client.send(""));
  EXPECT_EQ(events.connectResults, std::vector<bool>{true});

  TestPeer again = connected();
  ASSERT_TRUE(client.send("again"));
  EXPECT_EQ(again.readExactly(5), "again");
}

TEST_F(LanClientTest, AHostNameIsLookedUp) {
  client.connect("localhost", listener.port());
  EXPECT_TRUE(listener.accept().has_value());
  ASSERT_TRUE(pumpUntilConnectResults(1));
  EXPECT_EQ(events.connectResults, std::vector<bool>{true});
}

TEST_F(LanClientTest, RefusedAndUnknownTargetsFailThroughTheEvent) {
  for (const std::string& host : {std::string("127.0.0.1"), std::string("no-such-host.invalid")}) {
    RecordingClientEvents failing;
    LanClient attempt(network, gui, failing);
    attempt.connect(host, closedPort());
    ASSERT_TRUE(pumpUntil([&] { return !failing.connectResults.empty(); })) << host;
    EXPECT_EQ(failing.connectResults, std::vector<bool>{false}) << host;
    EXPECT_FALSE(attempt.send("x")) << host;
  }
}

TEST_F(LanClientTest, AnUnansweredConnectReturnsAtOnceAndFailsAtItsBound) {
  TestListener silent(0);
  ASSERT_TRUE(silent.stopAnswering());
  RecordingClientEvents waiting;
  LanClient attempt(network, gui, waiting, std::chrono::seconds(1));
  attempt.connect("127.0.0.1", silent.port());
  gui.runPending();
  EXPECT_TRUE(waiting.connectResults.empty()) << "connect held the caller until its bound";
  ASSERT_TRUE(pumpUntil([&] { return !waiting.connectResults.empty(); }));
  EXPECT_EQ(waiting.connectResults, std::vector<bool>{false});
}

TEST_F(LanClientTest, ALaterConnectSupersedesAPendingOne) {
  TestListener silent(0);
  ASSERT_TRUE(silent.stopAnswering());
  RecordingClientEvents latest;
  LanClient attempt(network, gui, latest, SHORT_BOUND);
  attempt.connect("127.0.0.1", silent.port());
  attempt.connect("127.0.0.1", listener.port());
  std::optional<TestPeer> peer = listener.accept();
  ASSERT_TRUE(peer.has_value());
  ASSERT_TRUE(pumpUntil([&] { return !latest.connectResults.empty(); }));
  // Well past the first attempt's bound: its failure must never be reported.
  gui.runUntil([] { return false; }, 2 * SHORT_BOUND);
  EXPECT_EQ(latest.connectResults, std::vector<bool>{true});
  ASSERT_TRUE(attempt.send("latest"));
  EXPECT_EQ(peer->readExactly(6), "latest");
}

TEST_F(LanClientTest, DisconnectRaisesNoEventAndThePeerSeesTheClose) {
  TestPeer peer = connected();
  peer.write("unread");
  client.disconnect();
  client.disconnect();
  EXPECT_FALSE(client.send("x"));
  EXPECT_TRUE(peer.readUntilClosed().has_value());
  gui.runPending();
  EXPECT_EQ(events.closes, 0);
  EXPECT_EQ(events.connectResults, std::vector<bool>{true});
}

}  // namespace
}  // namespace zorvi
