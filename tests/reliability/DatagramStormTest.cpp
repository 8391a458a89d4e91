// A storm of datagrams at one machine: scan words announcing addresses that cannot be reached or
// are not addresses at all, scan words without an address, disconnect words, random bytes, zero
// bytes and datagrams of every size, with reachable controllers among them. The machine answers
// as far as it can, leaks nothing, its GUI queue drains, and it ends connected to the controller
// of the last scan it could reach, or to none when the last scan's address could not be reached.
//
// Announced names are looked up, so this test runs only inside the network namespace of its own
// that ReliabilityMain sets up: there the lookups fail here instead of asking a name server.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "tests/reliability/NetworkIsolation.h"
#include "tests/reliability/ProcessFigures.h"
#include "tests/reliability/ReliabilityRoom.h"

namespace zorvi {
namespace {

using namespace test;

constexpr int STORM_DATAGRAMS = 20000;

// Scan words whose answer fails on this machine: the kernel refuses a connection to a broadcast,
// multicast or zero-network address, and no name resolves in a namespace without a name server.
const std::vector<std::string> UNREACHABLE = {
    scanFrom("255.255.255.255"), scanFrom("224.0.0.1"), scanFrom("0.0.0.1"),
    scanFrom("no-such-controller"), scanFrom("999.1.1.1"), scanFrom(std::string(300, 'a')),
};
const std::vector<std::string> MALFORMED = {
    std::string(TEXT_SCAN_PREFIX), std::string(TEXT_SCAN_PREFIX) + "：127.0.0.1", std::string(TEXT_SCAN_WORD),
    "zorvi局域网扫描:127.0.0.1", std::string(TEXT_SCAN_PREFIX) + std::string("\0" "127.0.0.1", 10),
    std::string(TEXT_SCAN_PREFIX).substr(0, 9) + "\x81", std::string(TEXT_DISCONNECT) + " ",
    std::string(60000, '\xA1'), "x",
};

class DatagramSender {
 public:
  DatagramSender() : socket_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
  ~DatagramSender() { ::close(socket_); }
  DatagramSender(const DatagramSender&) = delete;
  DatagramSender& operator=(const DatagramSender&) = delete;

  void send(std::uint16_t port, std::string_view bytes) const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sendto(socket_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }

 private:
  int socket_;
};

class DatagramStorm : public testing::Test, public ReliabilityRoom {
 protected:
  void SetUp() override {
    if (!networkIsolated()) {
      GTEST_SKIP() << "needs a network namespace of its own (root or user namespaces): announced names are looked up";
    }
    controller = machine("controller");
    swept = machine("swept", controller->lan.server().port());
  }

  // Sends the storm, every so often a scan from a reachable controller address among the rest,
  // and ends it with `last`. Pumps the GUI queue all along.
  void storm(const std::string& last) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> kind(0, 99);
    std::uniform_int_distribution<std::size_t> length(1, 1500);
    for (int i = 0; i < STORM_DATAGRAMS; ++i) {
      const int roll = kind(random);
      if (roll < 2) {
        sender.send(swept->lan.datagram().port(), scanFrom("127.0.0." + std::to_string(1 + i % 200)));
      } else if (roll < 40) {
        sender.send(swept->lan.datagram().port(), UNREACHABLE[static_cast<std::size_t>(i) % UNREACHABLE.size()]);
      } else if (roll < 70) {
        sender.send(swept->lan.datagram().port(), MALFORMED[static_cast<std::size_t>(i) % MALFORMED.size()]);
      } else if (roll < 72) {
        sender.send(swept->lan.datagram().port(), TEXT_DISCONNECT);
      } else {
        std::string noise(length(random), '\0');
        for (char& byte : noise) {
          byte = static_cast<char>(random());
        }
        sender.send(swept->lan.datagram().port(), noise);
      }
      if (i % 64 == 0) {
        gui.runPending();
      }
    }
    settle();  // the socket's receive buffer may have dropped some of the storm: that is UDP
    sender.send(swept->lan.datagram().port(), last);
  }

  // Pumps until both machines are quiet: nothing waits in the GUI queue for a while.
  void quiet() {
    for (int rounds = 0; rounds < 100; ++rounds) {
      settle(std::chrono::milliseconds(300));
      if (gui.waiting() == 0) {
        return;
      }
    }
    ADD_FAILURE() << "the GUI queue never drained";
  }

  std::unique_ptr<TestMachine> controller;
  std::unique_ptr<TestMachine> swept;
  DatagramSender sender;
};

TEST_F(DatagramStorm, endsConnectedToTheLastReachableController) {
  const std::size_t descriptorsBefore = openDescriptors();
  gui.resetPeak();
  const auto started = std::chrono::steady_clock::now();
  storm(scanFrom("127.0.0.7"));
  ASSERT_TRUE(pumpUntil([&] { return swept->view.status == "已连接服务器：127.0.0.7"; }));
  quiet();
  reportFigure("storm: 20000 datagrams handled in",
               std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count(), "ms");
  reportFigure("storm: GUI backlog peak", static_cast<double>(gui.peakWaiting()), "events");

  EXPECT_TRUE(swept->lan.client().send(""));
  ASSERT_EQ(controller->clients.rowCount(), 1u);
  EXPECT_EQ(controller->clients.row(0).cells[2], "swept");
  EXPECT_TRUE(swept->view.boxes.empty());
  EXPECT_EQ(openDescriptors(), descriptorsBefore + 2);  // the connection's two ends
}

TEST_F(DatagramStorm, endsConnectedToNoneWhenTheLastScanCannotBeReached) {
  const std::size_t descriptorsBefore = openDescriptors();
  storm(scanFrom("127.0.0.7"));
  ASSERT_TRUE(pumpUntil([&] { return swept->view.status == "已连接服务器：127.0.0.7"; }));
  quiet();
  storm(UNREACHABLE.front());
  quiet();

  EXPECT_FALSE(swept->lan.client().send("x"));
  EXPECT_EQ(controller->clients.rowCount(), 0u);
  EXPECT_EQ(controller->view.status, TEXT_NO_CONNECTION);
  EXPECT_TRUE(swept->view.boxes.empty());
  EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

// The label must not name a controller the machine is no longer connected to: a scan that replaces
// the connection and then fails leaves the machine with none. Disabled while it fails: the label
// keeps naming the replaced controller (RELIABILITY.md); enable it once discovery says so.
TEST_F(DatagramStorm, theLabelSaysNoConnectionOnceTheLastScanCouldNotBeReached) {
  storm(scanFrom("127.0.0.7"));
  ASSERT_TRUE(pumpUntil([&] { return swept->view.status == "已连接服务器：127.0.0.7"; }));
  storm(UNREACHABLE.front());
  quiet();
  EXPECT_FALSE(swept->lan.client().send("x"));
  EXPECT_EQ(swept->view.status, TEXT_NO_CONNECTION);
}

}  // namespace
}  // namespace zorvi
