#include "session/LanServer.h"

#include <gtest/gtest.h>

#include <asio/write.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LanTestPeers.h"
#include "LanTestRecorders.h"
#include "session/LanClient.h"
#include "session/NetworkService.h"
#include "session/PumpedGuiQueue.h"

namespace zorvi {
namespace {

using lantest::RecordingClientEvents;
using lantest::RecordingServerEvents;
using lantest::TestPeer;

constexpr std::chrono::milliseconds EVENT_WAIT{10000};
constexpr std::size_t CHUNK_BYTES = 64 * 1024;
constexpr int MOST_CHUNKS = 1000;  // far beyond the queue plus any socket buffer

std::string numberedChunk(int index) {
  std::string chunk(CHUNK_BYTES, static_cast<char>('a' + index % 26));
  const std::string number = std::to_string(index) + ":";
  chunk.replace(0, number.size(), number);
  return chunk;
}

class LanServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.open(0)); }

  bool pumpUntil(const std::function<bool()>& done) { return gui.runUntil(done, EVENT_WAIT); }

  bool pumpUntilLogged(const std::string& entry) {
    return pumpUntil([&] { return std::find(events.log.begin(), events.log.end(), entry) != events.log.end(); });
  }

  TestPeer enter(std::optional<int> receiveBufferBytes = {}) {
    TestPeer peer = TestPeer::connectTo(server.port(), receiveBufferBytes);
    EXPECT_TRUE(pumpUntilLogged("entered " + peer.id()));
    return peer;
  }

  // Sends 64 KiB chunks to `client` until its queue refuses one; returns the bytes it accepted.
  std::string fillQueueOf(const ClientId& client) {
    std::string accepted;
    for (int index = 0; index < MOST_CHUNKS; ++index) {
      const std::string chunk = numberedChunk(index);
      if (!server.send(client, chunk)) {
        return accepted;
      }
      accepted += chunk;
    }
    ADD_FAILURE() << "the write queue never refused a text";
    return accepted;
  }

  PumpedGuiQueue gui;
  NetworkService network;
  RecordingServerEvents events;
  LanServer server{network, gui, events};
};

TEST_F(LanServerTest, EnteredDataAndLeftNameThePeerByItsAddressAndPort) {
  TestPeer peer = TestPeer::connectTo(server.port());
  const ClientId id = peer.id();
  EXPECT_TRUE(id.starts_with("127.0.0.1:")) << id;
  peer.write("问候");
  ASSERT_TRUE(pumpUntil([&] { return events.received[id] == "问候"; }));
  peer.close();
  ASSERT_TRUE(pumpUntilLogged("left " + id));
  EXPECT_EQ(events.log, (std::vector<std::string>{"entered " + id, "data " + id, "left " + id}));
  EXPECT_FALSE(server.send(id, "late"));
  EXPECT_FALSE(server.send(id, ""));
}

TEST_F(LanServerTest, MessagesWrittenBackToBackArriveWholeAndInOrderBothWays) {
  TestPeer peer = enter();
  const ClientId id = peer.id();
  std::string all;
  for (int index = 0; index < 3000; ++index) {
    const std::string message = "消息 " + std::to_string(index) + ";";
    peer.write(message);
    all += message;
  }
  EXPECT_TRUE(pumpUntil([&] { return events.received[id].size() >= all.size(); }));
  EXPECT_EQ(events.received[id], all);

  for (int index = 0; index < 3000; ++index) {
    ASSERT_TRUE(server.send(id, "回复 " + std::to_string(index) + ";"));
  }
  std::string expected;
  for (int index = 0; index < 3000; ++index) {
    expected += "回复 " + std::to_string(index) + ";";
  }
  EXPECT_EQ(peer.readExactly(expected.size()), expected);
}

TEST_F(LanServerTest, EachSendReachesOnlyTheNamedConnection) {
  TestPeer first = enter();
  TestPeer second = enter();
  ASSERT_NE(first.id(), second.id());
  ASSERT_TRUE(server.send(second.id(), "to second"));
  ASSERT_TRUE(server.send(first.id(), "to first"));
  EXPECT_EQ(first.readExactly(8), "to first");
  EXPECT_EQ(second.readExactly(9), "to second");
  first.write("from first");
  EXPECT_TRUE(pumpUntil([&] { return events.received[first.id()] == "from first"; }));
  EXPECT_EQ(events.received.count(second.id()), 0u);
}

TEST_F(LanServerTest, ANameMustMatchAnOpenConnectionByteForByte) {
  TestPeer peer = enter();
  const ClientId id = peer.id();
  for (const ClientId& unknown : {ClientId{}, ClientId{"127.0.0.1:1"}, id + " ", " " + id, id.substr(0, id.size() - 1)}) {
    EXPECT_FALSE(server.send(unknown, "x")) << '"' << unknown << '"';
    EXPECT_FALSE(server.send(unknown, "")) << '"' << unknown << '"';
  }
  EXPECT_TRUE(server.send(id, ""));
  ASSERT_TRUE(server.send(id, "after nothing"));
  EXPECT_EQ(peer.readExactly(13), "after nothing");  // the empty send wrote no byte before it
}

TEST_F(LanServerTest, APeerThatStopsReadingFillsOnlyItsOwnQueue) {
  TestPeer stalled = enter(4096);
  TestPeer brisk = enter();
  const std::string accepted = fillQueueOf(stalled.id());

  ASSERT_TRUE(server.send(brisk.id(), "ping"));
  EXPECT_EQ(brisk.readExactly(4), "ping");
  brisk.write("pong");
  EXPECT_TRUE(pumpUntil([&] { return events.received[brisk.id()] == "pong"; }));

  // Whole texts or nothing: the refused chunk left no bytes between the accepted ones and "end".
  EXPECT_EQ(stalled.readExactly(accepted.size()), accepted);
  ASSERT_TRUE(server.send(stalled.id(), "end"));
  EXPECT_EQ(stalled.readExactly(3), "end");
}

// While the GUI thread handles nothing, the server stops reading once a bounded amount waits for
// it, and TCP holds the sender back; when the GUI thread runs again, everything arrives in order.
TEST_F(LanServerTest, AFastSenderIsHeldBackWhileTheGuiThreadIsBusy) {
  constexpr int CHUNKS = 1024;  // 64 MiB
  TestPeer sender = enter();
  const ClientId id = sender.id();
  std::atomic<std::size_t> written{0};
  std::thread writer([&] {
    for (int index = 0; index < CHUNKS; ++index) {
      const std::string chunk = numberedChunk(index);
      std::error_code closed;
      asio::write(sender.socket(), asio::buffer(chunk), closed);
      if (closed) {
        return;
      }
      written += chunk.size();
    }
  });

  // Not pumping: wait until the sender makes no progress for half a second.
  std::size_t seen = 0;
  for (int rounds = 0; rounds < 40; ++rounds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (written.load() == seen) {
      break;
    }
    seen = written.load();
  }
  // The read backlog plus what loopback's socket buffers hold, far below the whole stream.
  EXPECT_LT(written.load(), std::size_t{24} << 20);

  std::string expected;
  for (int index = 0; index < CHUNKS; ++index) {
    expected += numberedChunk(index);
  }
  const bool allArrived = gui.runUntil([&] { return events.received[id].size() >= expected.size(); },
                                       std::chrono::seconds(60));
  if (!allArrived) {
    sender.close();  // lets a writer that is still held back finish
  }
  writer.join();
  ASSERT_TRUE(allArrived) << events.received[id].size() << " of " << expected.size() << " bytes";
  EXPECT_TRUE(events.received[id] == expected);
}

// A text of the queue's whole size fits only once everything before it has gone to the system,
// which cannot happen while the peer reads nothing.
TEST_F(LanServerTest, AWaitingSendGetsRoomOnceThePeerReadsAgain) {
  TestPeer stalled = enter(4096);
  const std::string accepted = fillQueueOf(stalled.id());
  const std::string late(WRITE_QUEUE_LIMIT, 'z');
  ASSERT_FALSE(server.send(stalled.id(), late));

  bool sent = false;
  std::thread worker([&] { sent = server.send(stalled.id(), late, 10); });
  EXPECT_EQ(stalled.readExactly(accepted.size()), accepted);
  EXPECT_EQ(stalled.readExactly(late.size()), late);
  worker.join();
  EXPECT_TRUE(sent);
}

TEST_F(LanServerTest, AWaitingSendGivesUpWhenNoRoomComes) {
  TestPeer stalled = enter(4096);
  fillQueueOf(stalled.id());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(server.send(stalled.id(), std::string(WRITE_QUEUE_LIMIT, 'z'), 1));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(LanServerTest, AWaitingSendEndsWhenTheConnectionCloses) {
  TestPeer stalled = enter(4096);
  const ClientId id = stalled.id();
  fillQueueOf(id);
  bool sent = true;
  std::thread worker([&] { sent = server.send(id, std::string(WRITE_QUEUE_LIMIT, 'z'), 60); });
  stalled.close();
  EXPECT_TRUE(pumpUntilLogged("left " + id));
  worker.join();
  EXPECT_FALSE(sent);
}

TEST_F(LanServerTest, ATextLongerThanTheQueueIsRefused) {
  TestPeer peer = enter();
  EXPECT_FALSE(server.send(peer.id(), std::string(WRITE_QUEUE_LIMIT + 1, 'x'), 1));
  ASSERT_TRUE(server.send(peer.id(), "next"));
  EXPECT_EQ(peer.readExactly(4), "next");
}

TEST_F(LanServerTest, SendsFromWorkersStayOrderedWhileConnectionsComeAndGo) {
  RecordingClientEvents steadyEvents;
  LanClient steady(network, gui, steadyEvents);
  steady.connect("127.0.0.1", server.port());
  ASSERT_TRUE(pumpUntil([&] { return events.log.size() == 1; }));
  const ClientId steadyId = events.log.front().substr(std::string("entered ").size());

  constexpr int WORKERS = 3;
  constexpr int MOST_ROUNDS = 20000;
  constexpr int CHURN_CYCLES = 20;
  std::mutex churningMutex;
  std::vector<ClientId> churning;
  std::atomic<bool> churnOver{false};
  std::vector<int> sentToSteady(WORKERS, 0);
  std::vector<std::thread> workers;
  for (int worker = 0; worker < WORKERS; ++worker) {
    workers.emplace_back([&, worker] {
      int sent = 0;
      for (int round = 0; round < MOST_ROUNDS && !churnOver; ++round) {
        std::vector<ClientId> targets;
        {
          const std::lock_guard lock(churningMutex);
          targets = churning;
        }
        for (const ClientId& target : targets) {
          server.send(target, "churn");  // may be gone already: either answer is fine
        }
        if (server.send(steadyId, std::to_string(worker) + ":" + std::to_string(sent) + "\n", 10)) {
          ++sent;
        }
      }
      sentToSteady[worker] = sent;
    });
  }
  for (int cycle = 0; cycle < CHURN_CYCLES; ++cycle) {
    TestPeer peer = TestPeer::connectTo(server.port());
    const ClientId id = peer.id();
    if (!pumpUntilLogged("entered " + id)) {
      ADD_FAILURE() << "no entered event for " << id;
      break;
    }
    {
      const std::lock_guard lock(churningMutex);
      churning.push_back(id);
    }
    peer.close();
    EXPECT_TRUE(pumpUntilLogged("left " + id));
    const std::lock_guard lock(churningMutex);
    churning.erase(std::find(churning.begin(), churning.end(), id));
  }
  churnOver = true;
  for (std::thread& worker : workers) {
    worker.join();
  }

  int total = 0;
  for (int sent : sentToSteady) {
    EXPECT_GT(sent, 0);
    total += sent;
  }
  ASSERT_TRUE(pumpUntil([&] {
    return std::count(steadyEvents.received.begin(), steadyEvents.received.end(), '\n') == total;
  }));
  std::vector<int> nextOf(WORKERS, 0);
  std::istringstream lines(steadyEvents.received);
  std::string line;
  while (std::getline(lines, line)) {
    const int worker = std::stoi(line.substr(0, line.find(':')));
    ASSERT_EQ(std::stoi(line.substr(line.find(':') + 1)), nextOf[worker]) << "worker " << worker;
    ++nextOf[worker];
  }
  EXPECT_EQ(nextOf, sentToSteady);
}

TEST_F(LanServerTest, ASecondInstanceStaysClosedAndStillConnectsOut) {
  RecordingServerEvents secondEvents;
  LanServer second(network, gui, secondEvents);
  EXPECT_FALSE(second.open(server.port()));
  EXPECT_FALSE(second.isOpen());
  EXPECT_EQ(second.port(), 0);

  RecordingClientEvents clientEvents;
  LanClient client(network, gui, clientEvents);
  client.connect("127.0.0.1", server.port());
  ASSERT_TRUE(pumpUntil([&] { return !clientEvents.connectResults.empty() && events.log.size() == 1; }));
  EXPECT_EQ(clientEvents.connectResults, std::vector<bool>{true});
  EXPECT_TRUE(secondEvents.log.empty());
}

TEST_F(LanServerTest, CloseEndsEveryConnectionWithoutEventsAndCanOpenAgain) {
  lantest::WatchedGuiQueue watched;
  RecordingServerEvents seen;
  LanServer closing(network, watched, seen);
  ASSERT_TRUE(closing.open(0));
  TestPeer peer = TestPeer::connectTo(closing.port());
  ASSERT_TRUE(watched.waitForPosts(1, EVENT_WAIT));
  watched.queue.runPending();
  peer.write("never handled");
  ASSERT_TRUE(watched.waitForPosts(2, EVENT_WAIT));
  closing.close();
  closing.close();
  EXPECT_FALSE(closing.isOpen());
  EXPECT_FALSE(closing.send(peer.id(), "x"));
  EXPECT_TRUE(peer.readUntilClosed().has_value());
  watched.queue.runPending();
  EXPECT_EQ(seen.log, std::vector<std::string>{"entered " + peer.id()});

  ASSERT_TRUE(closing.open(0));
  TestPeer again = TestPeer::connectTo(closing.port());
  ASSERT_TRUE(watched.queue.runUntil([&] { return seen.log.size() == 2; }, EVENT_WAIT));
  EXPECT_EQ(seen.log.back(), "entered " + again.id());
  EXPECT_TRUE(closing.send(again.id(), "x"));
}

}  // namespace
}  // namespace zorvi
