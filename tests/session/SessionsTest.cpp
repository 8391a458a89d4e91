#include <gtest/gtest.h>

#include "protocol/Markers.h"
#include "protocol/MessageCodec.h"
#include "protocol/MessageKinds.h"
#include "tests/session/MachineFixture.h"

namespace zorvi {
namespace {

using test::LanRoom;
using test::TestMachine;

const std::string SCAN_FROM_CONTROLLER = std::string(TEXT_SCAN_PREFIX) + "127.0.0.1";

class Sessions : public ::testing::Test, public LanRoom {
 protected:
  // The controlled machine answers a scan and waits until the controller has listed it.
  void answerScan(TestMachine& machine) {
    const std::size_t before = controller->clients.rowCount();
    machine.lan.discovery().datagramArrived(SCAN_FROM_CONTROLLER);
    ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() > before; }));
  }
};

TEST_F(Sessions, ScanAnswerGreetsIsAskedForItsProfileAndIsListed) {
  auto machine = controlledMachine("alice");
  answerScan(*machine);

  ASSERT_EQ(controller->clients.rowCount(), 1u);
  const ClientRow& row = controller->clients.row(0);
  EXPECT_EQ(row.cells[0], "127.0.0.1");
  EXPECT_FALSE(row.cells[1].empty());
  const std::array<std::string, 9> profileColumns = {row.cells[2], row.cells[3], row.cells[4],
                                                     row.cells[5], row.cells[6], row.cells[7],
                                                     row.cells[8], row.cells[9], row.cells[10]};
  EXPECT_EQ(profileColumns, (std::array<std::string, 9>{"alice", "SN123", "i7-9750H", "8G + 8G",
                                                        "NVIDIA GeForce RTX 2060", "Default System BIOS", "537.58",
                                                        "90.06.3F.00.5A", "Windows 10  (Build:19045)"}));
  EXPECT_FALSE(row.ticked);
  EXPECT_EQ(controller->view.status, "本机为服务器！");
  EXPECT_EQ(machine->view.status, "已连接服务器：127.0.0.1");
  EXPECT_EQ(machine->local.log, std::vector<std::string>{"profile"});
}

TEST_F(Sessions, AProfileInTheSameReadAsTheGreetingIsListed) {
  auto machine = controlledMachine("bob");
  machine->lan.client().connect("127.0.0.1", controller->lan.server().port());
  ASSERT_TRUE(pumpUntil([&] { return controller->view.status == "本机为服务器！"; }));
  const std::string greetingAndProfile =
      "127.0.0.1" + MessageCodec::wrap(profileBody(joinProfile(test::sampleProfile("bob"))));
  ASSERT_TRUE(machine->lan.client().send(greetingAndProfile));
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 1; }));
  EXPECT_EQ(controller->clients.row(0).cells[2], "bob");
}

TEST_F(Sessions, ASecondConnectionFromAListedAddressOnlyMovesThePort) {
  auto first = controlledMachine("first");
  answerScan(*first);
  const std::string firstPort = controller->clients.row(0).cells[1];

  auto second = controlledMachine("second");
  second->lan.discovery().datagramArrived(SCAN_FROM_CONTROLLER);
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.row(0).cells[1] != firstPort; }));
  EXPECT_EQ(controller->clients.rowCount(), 1u);
  EXPECT_EQ(controller->clients.row(0).cells[2], "first");  // the row keeps its values

  // Later sends to that row reach the newer connection only.
  controller->clients.setTicked(0, true);
  controller->view.message = "to the newer one";
  controller->lan.controller().sendOperatorText();
  ASSERT_TRUE(pumpUntil([&] { return second->view.message == "to the newer one"; }));
  settle();
  EXPECT_EQ(first->view.message, "");
}

TEST_F(Sessions, OperatorTextReachesTickedRowsOnlyAndEmptyTextEmptiesTheBox) {
  auto ticked = controlledMachine("ticked");
  answerScan(*ticked);
  controller->clients.setTicked(0, true);

  controller->view.message = "第一行\r\n第二行";
  controller->lan.controller().sendOperatorText();
  ASSERT_TRUE(pumpUntil([&] { return ticked->view.message == "第一行\r\n第二行"; }));

  controller->view.message.clear();
  controller->lan.controller().sendOperatorText();
  ASSERT_TRUE(pumpUntil([&] { return ticked->view.message.empty(); }));

  controller->clients.setTicked(0, false);  // no ticked row: nothing is sent
  controller->view.message = "nobody";
  controller->lan.controller().sendOperatorText();
  settle();
  EXPECT_TRUE(ticked->view.message.empty());
}

TEST_F(Sessions, AProfileRequestIsAnsweredBeforeTheInputsAfterItInTheSameRead) {
  auto machine = controlledMachine("carol");
  answerScan(*machine);
  machine->local.log.clear();

  const ClientId id = controller->clients.row(0).clientId();
  const std::string block = MessageCodec::wrap(profileRequestBody()) +
                            MessageCodec::wrap(inputBody({0.5f, 0.5f, "键盘 A键   按下"})) +
                            MessageCodec::wrap(inputBody({0.5f, 0.5f, "键盘 A键   放开"}));
  ASSERT_TRUE(controller->lan.server().send(id, block));
  ASSERT_TRUE(pumpUntil([&] { return machine->local.log.size() == 3; }));
  EXPECT_EQ(machine->local.log,
            (std::vector<std::string>{"profile", "replay 键盘 A键   按下", "replay 键盘 A键   放开"}));
}

TEST_F(Sessions, InputArrivingWhileTheProfileIsBuiltIsReplayedAtOnce) {
  auto machine = controlledMachine("dave");
  answerScan(*machine);
  machine->local.log.clear();
  const ClientId id = controller->clients.row(0).clientId();

  machine->local.whileBuilding = [&] {
    controller->lan.server().send(id, MessageCodec::wrap(inputBody({0.1f, 0.1f, "鼠标 左键按下"})));
    gui.runUntil([&] { return machine->local.log.size() == 2; }, std::chrono::seconds(10));
  };
  ASSERT_TRUE(controller->lan.server().send(id, MessageCodec::wrap(profileRequestBody())));
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 1 && machine->local.log.size() == 2; }));
  EXPECT_EQ(machine->local.log, (std::vector<std::string>{"profile", "replay 鼠标 左键按下"}));
}

TEST_F(Sessions, DepartureRemovesTheRowAndTheLabelWaitsForTheLastMachine) {
  auto one = controlledMachine("one");
  answerScan(*one);
  auto two = controlledMachine("two");
  two->lan.discovery().datagramArrived(SCAN_FROM_CONTROLLER);
  ASSERT_TRUE(pumpUntil([&] { return two->local.log.size() == 1; }));
  settle();
  ASSERT_EQ(controller->clients.rowCount(), 1u);  // same address: one row, now naming two's connection

  // The older connection leaving does not take the machine's row with it.
  one.reset();
  settle();
  EXPECT_EQ(controller->clients.rowCount(), 1u);
  EXPECT_EQ(controller->view.status, "本机为服务器！");

  two.reset();
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 0; }));
  EXPECT_EQ(controller->view.status, "暂无连接");
}

TEST_F(Sessions, ControllerGoingAwayReleasesTheLeftButton) {
  auto machine = controlledMachine("erin");
  answerScan(*machine);
  machine->local.log.clear();
  controller->lan.server().close();
  ASSERT_TRUE(pumpUntil([&] { return machine->view.status == "暂无连接"; }));
  EXPECT_EQ(machine->local.log, std::vector<std::string>{"release left"});
}

TEST_F(Sessions, TheDisconnectDatagramDropsTheConnectionWithoutAnEventHere) {
  auto machine = controlledMachine("frank");
  answerScan(*machine);
  machine->lan.discovery().datagramArrived(TEXT_DISCONNECT);
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 0; }));
  settle();
  EXPECT_EQ(machine->view.status, "已连接服务器：127.0.0.1");  // no connection-closed on this side
  EXPECT_EQ(machine->local.log, std::vector<std::string>{"profile"});
}

TEST_F(Sessions, AMachineIgnoresItsOwnSweep) {
  controller->lan.discovery().scanButton();
  EXPECT_EQ(controller->lan.discovery().localAddresses(), std::vector<std::string>{"127.0.0.1"});
  controller->lan.discovery().datagramArrived(SCAN_FROM_CONTROLLER);
  settle();
  EXPECT_EQ(controller->view.status, "暂无连接");
  EXPECT_EQ(controller->clients.rowCount(), 0u);
}

TEST_F(Sessions, MalformedScanDatagramsChangeNothing) {
  auto machine = controlledMachine("gina");
  using namespace std::string_literals;
  for (const std::string& datagram : {std::string(TEXT_SCAN_PREFIX), std::string(TEXT_SCAN_WORD),
                                      "zorvi局域网扫描 127.0.0.1"s, std::string(TEXT_DISCONNECT) + " ",
                                      "\0zorvi局域网扫描：127.0.0.1"s, std::string("\xB0", 1)}) {
    machine->lan.discovery().datagramArrived(datagram);
  }
  settle();
  EXPECT_EQ(machine->view.status, "暂无连接");
  EXPECT_EQ(controller->view.status, "暂无连接");
}

TEST_F(Sessions, AScanFromAnAddressThatRefusesLeavesTheLabelAndSendsNoGreeting) {
  TestMachine machine(network(), gui, test::sampleProfile("hank"), LanPorts{0, 0, 0, test::freePort(false)});
  bool guiRanMeanwhile = false;
  machine.lan.discovery().datagramArrived(SCAN_FROM_CONTROLLER);
  // The connect runs on the network thread; the GUI thread goes on with other work meanwhile.
  gui.post([&] { guiRanMeanwhile = true; });
  settle();
  EXPECT_TRUE(guiRanMeanwhile);
  EXPECT_EQ(machine.view.status, "暂无连接");
  EXPECT_FALSE(machine.lan.client().send("greeting"));
}

TEST_F(Sessions, AFailedScanAnswerTakesTheReplacedControllerOffTheLabel) {
  const std::string unreachable = std::string(TEXT_SCAN_PREFIX) + "255.255.255.255";  // fails at once
  auto machine = controlledMachine("iris");
  answerScan(*machine);
  machine->lan.discovery().datagramArrived(unreachable);
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 0; }));
  ASSERT_TRUE(pumpUntil([&] { return machine->view.status == "暂无连接"; }));
  EXPECT_FALSE(machine->lan.client().send("x"));

  // A label its own controller role has written since is left alone.
  answerScan(*machine);
  machine->view.status = "本机为服务器！";
  machine->lan.discovery().datagramArrived(unreachable);
  ASSERT_TRUE(pumpUntil([&] { return controller->clients.rowCount() == 0; }));
  settle();
  EXPECT_EQ(machine->view.status, "本机为服务器！");
}

TEST_F(Sessions, TheScanButtonSweepsEverySubnetOfEachAddress) {
  struct Counter : LanDatagramEvents {
    void datagramArrived(const std::string& bytes) override { received.push_back(bytes); }
    std::vector<std::string> received;
  } counter;
  NetworkService network;
  LanDatagram listener(network, gui, counter);
  ASSERT_TRUE(listener.open(sweepPort()));

  controller->lan.discovery().scanButton();
  ASSERT_TRUE(pumpUntil([&] { return counter.received.size() >= static_cast<std::size_t>(SWEEP_SUBNETS); }));
  settle();
  EXPECT_EQ(counter.received.size(), static_cast<std::size_t>(SWEEP_SUBNETS));
  for (const std::string& datagram : counter.received) {
    EXPECT_EQ(datagram, SCAN_FROM_CONTROLLER);
  }
  EXPECT_EQ(controller->view.scans, 1);
  listener.close();
}

TEST_F(Sessions, AMachineWithoutAddressesSaysSoAndSweepsNothing) {
  controller->local.addresses.clear();
  controller->lan.discovery().scanButton();
  EXPECT_EQ(controller->view.boxes, std::vector<std::string>{"本机器未加入局域网！"});
}

TEST(SweepDestinations, EveryClassCSubnetOfTheClassBNetwork) {
  const std::vector<std::string> destinations = sweepDestinations("192.168.3.7");
  ASSERT_EQ(destinations.size(), 255u);
  EXPECT_EQ(destinations.front(), "192.168.1.255");
  EXPECT_EQ(destinations[2], "192.168.3.255");
  EXPECT_EQ(destinations.back(), "192.168.255.255");
  EXPECT_TRUE(sweepDestinations("localhost").empty());
}

}  // namespace
}  // namespace zorvi
