// Peers that die part-way: a controlled machine in the middle of its profile answer, a controller in
// the middle of an input message, and machines on both ends of a sweep. Nothing half-received is
// ever acted on or carried into a later connection, the departure is handled once, and whoever is
// left goes on working.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/Markers.h"
#include "protocol/Payloads.h"
#include "tests/reliability/ReliabilityRoom.h"

namespace zorvi {
namespace {

using namespace test;

std::string inputMessage(const std::string& keyState) {
  return MessageCodec::wrap(inputBody(InputEvent{0.5f, 0.25f, keyState}));
}

// Where the dying peer's last message is cut, and how it goes.
struct Death {
  const char* name;
  std::size_t (*cutAt)(std::size_t messageBytes);
  bool reset;  // a connection reset rather than an orderly close

  friend void PrintTo(const Death& death, std::ostream* out) { *out << death.name; }
};

const Death DEATHS[] = {
    {"InsideTheHeadByClose", [](std::size_t) -> std::size_t { return 5; }, false},
    {"InsideTheBodyByClose", [](std::size_t bytes) { return bytes / 2; }, false},
    {"InsideTheTailByReset", [](std::size_t bytes) { return bytes - MARK_MESSAGE_SEP.size() - 3; }, true},
    {"InsideTheBodyByReset", [](std::size_t bytes) { return bytes / 2; }, true},
};

class PeerDeath : public testing::TestWithParam<Death>, public ReliabilityRoom {
 protected:
  void die(LoopbackPeer& peer) {
    if (GetParam().reset) {
      peer.abort();
    } else {
      peer.close();
    }
  }
};

INSTANTIATE_TEST_SUITE_P(Cuts, PeerDeath, testing::ValuesIn(DEATHS),
                         [](const testing::TestParamInfo<Death>& death) { return death.param.name; });

TEST_P(PeerDeath, aMachineDyingInItsProfileAnswerIsNeverListedAndItsSuccessorIs) {
  auto controller = machine("controller");
  const std::uint16_t port = controller->lan.server().port();
  {
    auto dying = LoopbackPeer::connect(port, "127.0.0.5");
    ASSERT_TRUE(dying);
    ASSERT_TRUE(pumpUntil([&] { return controller->view.status == TEXT_THIS_IS_SERVER; }));
    const std::string answer = profileAnswer("dying");
    ASSERT_TRUE(dying->write(answer.substr(0, GetParam().cutAt(answer.size()))));
    settle();
    die(*dying);
  }
  ASSERT_TRUE(pumpUntil([&] { return controller->view.status == TEXT_NO_CONNECTION; }));
  EXPECT_EQ(controller->clients.rowCount(), 0u);

  // The same machine comes back on a new connection and answers whole.
  auto successor = LoopbackPeer::connect(port, "127.0.0.5");
  ASSERT_TRUE(successor);
  ASSERT_TRUE(successor->write(profileAnswer("successor")));
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 1; }));
  settle();
  ASSERT_EQ(controller->clients.rowCount(), 1u);
  EXPECT_EQ(controller->clients.row(0).clientId(), successor->clientId());
  EXPECT_EQ(controller->clients.row(0).cells[2], "successor");
}

TEST_P(PeerDeath, aControllerDyingInAnInputMessageLeavesOnlyItsWholeMessagesReplayed) {
  LoopbackListener controllerSocket;
  auto controlled = machine("controlled", controllerSocket.port());
  const auto answerScan = [&] {
    controlled->lan.discovery().datagramArrived(scanFrom("127.0.0.1"));
    std::optional<LoopbackPeer> accepted;
    EXPECT_TRUE(pumpUntil([&] { return (accepted = controllerSocket.accept(std::chrono::milliseconds(5))).has_value(); }));
    EXPECT_TRUE(pumpUntil([&] { return controlled->view.status == "已连接服务器：127.0.0.1"; }));
    return accepted;
  };

  auto controller = answerScan();
  ASSERT_TRUE(controller);
  const std::string cut = inputMessage("键盘 B键   按下");
  const std::size_t cutAt = GetParam().cutAt(cut.size());
  ASSERT_TRUE(controller->write(inputMessage("键盘 A键   按下") + cut.substr(0, cutAt)));
  ASSERT_TRUE(pumpUntil([&] { return !controlled->local.log.empty(); }));
  settle();
  die(*controller);
  ASSERT_TRUE(pumpUntil([&] { return controlled->view.status == TEXT_NO_CONNECTION; }));
  EXPECT_EQ(controlled->local.log, (std::vector<std::string>{"replay 键盘 A键   按下", "release left"}));

  // A new controller's first bytes complete nothing left over from the old connection.
  controlled->local.log.clear();
  auto next = answerScan();
  ASSERT_TRUE(next);
  ASSERT_TRUE(next->write(cut.substr(cutAt) + inputMessage("键盘 C键   按下")));
  ASSERT_TRUE(pumpUntil([&] { return !controlled->local.log.empty(); }));
  settle();
  EXPECT_EQ(controlled->local.log, std::vector<std::string>{"replay 键盘 C键   按下"});
}

// Sweeps: the controller's scan datagrams go to the swept machine's datagram port on loopback
// (127.0.i.255 is a local address, like every 127.x.y.z).
class SweepDeath : public testing::Test, public ReliabilityRoom {
 protected:
  std::unique_ptr<TestMachine> sweptMachine(const std::string& user, std::uint16_t datagramPort = 0) {
    return std::make_unique<TestMachine>(network, gui, sampleProfile(user), LanPorts{0, datagramPort, 0, controllerPort});
  }
  std::unique_ptr<TestMachine> controllerSweeping(std::uint16_t sweepPort) {
    return std::make_unique<TestMachine>(network, gui, sampleProfile("controller"), LanPorts{controllerPort, 0, sweepPort, 0});
  }

  const std::uint16_t controllerPort = freePort(false);
};

TEST_F(SweepDeath, aMachineDyingWhileSweptLeavesNoRowAndTheNextOneIsListed) {
  auto dying = sweptMachine("dying");
  const std::uint16_t sweptPort = dying->lan.datagram().port();
  auto controller = controllerSweeping(sweptPort);
  controller->lan.discovery().scanButton();
  ASSERT_TRUE(pumpUntil([&] { return controller->view.status == TEXT_THIS_IS_SERVER; }));
  dying.reset();  // mid-sweep: its datagrams are still arriving, its latest connect may be pending

  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 0 && controller->view.status == TEXT_NO_CONNECTION; }));
  settle();
  EXPECT_EQ(controller->clients.rowCount(), 0u);

  auto next = sweptMachine("next", sweptPort);
  ASSERT_EQ(next->lan.datagram().port(), sweptPort);
  controller->lan.discovery().scanButton();
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 1 && controller->clients.row(0).cells[2] == "next"; }));
  // Every scan of the sweep reconnects; the last one stays.
  EXPECT_TRUE(pumpUntilSteady(
      [&] { return controller->clients.rowCount() == 1 && controller->clients.row(0).cells[2] == "next"; },
      std::chrono::milliseconds(500)));
  EXPECT_TRUE(next->lan.client().send(""));
}

TEST_F(SweepDeath, aControllerShutDownInTheMiddleOfItsSweepLeavesTheSweptMachineUnconnected) {
  auto swept = sweptMachine("swept");
  auto controller = controllerSweeping(swept->lan.datagram().port());
  controller->lan.discovery().scanButton();
  controller.reset();  // joins its sweep threads while they send

  settle(std::chrono::milliseconds(500));
  EXPECT_FALSE(swept->lan.client().send("x"));
  EXPECT_EQ(swept->view.status, TEXT_NO_CONNECTION);
  EXPECT_TRUE(swept->view.boxes.empty());
  EXPECT_TRUE(swept->local.log.empty());
}

}  // namespace
}  // namespace zorvi
