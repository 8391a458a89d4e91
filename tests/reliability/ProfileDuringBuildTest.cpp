// A profile request that arrives while another profile is being built (the build keeps the GUI
// thread's events flowing, so the second request is answered inside the first), and a controller
// that goes away during a build. Each request gets one whole answer, or, when its answer cannot be
// sent, the failure box once.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "protocol/MessageKinds.h"
#include "protocol/Payloads.h"
#include "tests/reliability/ReliabilityRoom.h"

namespace zorvi {
namespace {

using namespace test;

class ProfileDuringBuild : public testing::Test, public ReliabilityRoom {
 protected:
  // The controlled machine answers a scan by connecting to a raw controller, which reads its greeting.
  void SetUp() override {
    controlled = machine("controlled", controllerSocket.port());
    controlled->lan.discovery().datagramArrived(scanFrom("127.0.0.1"));
    std::optional<LoopbackPeer> accepted;
    ASSERT_TRUE(pumpUntil([&] {
      accepted = controllerSocket.accept(std::chrono::milliseconds(10));
      return accepted.has_value();
    }));
    controllerPeer = std::move(*accepted);
    ASSERT_TRUE(pumpUntil([&] { return controlled->view.status == "已连接服务器：127.0.0.1"; }));
    received += controllerPeer->readUntil([](std::string_view bytes) { return bytes.size() >= 9; });
    ASSERT_EQ(received, "127.0.0.1");
    received.clear();
  }

  std::size_t builds() const {
    return static_cast<std::size_t>(std::count(controlled->local.log.begin(), controlled->local.log.end(), "profile"));
  }

  // The profile answers the raw controller has received whole so far.
  std::vector<MachineProfile> answers() {
    received += controllerPeer->readWaiting();
    std::vector<MachineProfile> profiles;
    for (const std::string& body : takeApartMessages(received).bodies) {
      const KindedBody kinded = recogniseOnController(body);
      EXPECT_EQ(kinded.kind, MessageKind::Profile);
      profiles.push_back(readProfilePayload(kinded.payload));
    }
    return profiles;
  }

  LoopbackListener controllerSocket;
  std::unique_ptr<TestMachine> controlled;
  std::optional<LoopbackPeer> controllerPeer;
  std::string received;
};

TEST_F(ProfileDuringBuild, aSecondRequestDuringTheBuildGetsItsOwnAnswer) {
  controlled->local.whileBuilding = [&] {
    if (builds() == 1) {
      ASSERT_TRUE(controllerPeer->write(PROFILE_REQUEST_MESSAGE));
      ASSERT_TRUE(pumpUntil([&] { return builds() == 2; }));  // answered inside the first build
    }
  };
  ASSERT_TRUE(controllerPeer->write(PROFILE_REQUEST_MESSAGE));

  ASSERT_TRUE(pumpUntil([&] { return answers().size() >= 2; }));
  settle();
  EXPECT_EQ(answers(), (std::vector<MachineProfile>(2, sampleProfile("controlled"))));
  EXPECT_EQ(takeApartMessages(received).malformedPieces, 0u);
  EXPECT_TRUE(takeApartMessages(received).unfinished.empty());
  EXPECT_TRUE(controlled->view.boxes.empty());
}

TEST_F(ProfileDuringBuild, aControllerThatClosesDuringTheBuildGetsTheFailureBoxOnce) {
  controlled->local.whileBuilding = [&] {
    controllerPeer->close();
    ASSERT_TRUE(pumpUntil([&] { return controlled->view.status == TEXT_NO_CONNECTION; }));
  };
  ASSERT_TRUE(controllerPeer->write(PROFILE_REQUEST_MESSAGE));

  ASSERT_TRUE(pumpUntil([&] { return !controlled->view.boxes.empty(); }));
  settle();
  EXPECT_EQ(controlled->view.boxes, std::vector<std::string>{std::string(TEXT_PROFILE_SEND_FAILED)});
  EXPECT_EQ(controlled->local.log, (std::vector<std::string>{"profile", "release left"}));
}

TEST_F(ProfileDuringBuild, twoRequestsWhoseControllerClosesInsideTheSecondBuildShowTwoBoxes) {
  controlled->local.whileBuilding = [&] {
    if (builds() == 1) {
      ASSERT_TRUE(controllerPeer->write(PROFILE_REQUEST_MESSAGE));
      ASSERT_TRUE(pumpUntil([&] { return builds() == 2; }));
    } else {
      controllerPeer->abort();
      ASSERT_TRUE(pumpUntil([&] { return controlled->view.status == TEXT_NO_CONNECTION; }));
    }
  };
  ASSERT_TRUE(controllerPeer->write(PROFILE_REQUEST_MESSAGE));

  ASSERT_TRUE(pumpUntil([&] { return controlled->view.boxes.size() >= 2; }));
  settle();
  EXPECT_EQ(controlled->view.boxes, std::vector<std::string>(2, std::string(TEXT_PROFILE_SEND_FAILED)));
}

class RealControllerDuringBuild : public testing::Test, public ReliabilityRoom {};

// The whole system: a real controller asks, and its machine shuts down while the answer is built.
TEST_F(RealControllerDuringBuild, aControllerShutDownDuringTheBuildLeavesOneBox) {
  auto controller = machine("controller");
  auto answering = machine("answering", controller->lan.server().port());
  answering->local.whileBuilding = [&] {
    controller.reset();
    ASSERT_TRUE(pumpUntil([&] { return answering->view.status == TEXT_NO_CONNECTION; }));
  };
  answering->lan.discovery().datagramArrived(scanFrom("127.0.0.1"));

  ASSERT_TRUE(pumpUntil([&] { return !answering->view.boxes.empty(); }));
  settle();
  EXPECT_EQ(answering->view.boxes, std::vector<std::string>{std::string(TEXT_PROFILE_SEND_FAILED)});
  EXPECT_EQ(answering->local.log, (std::vector<std::string>{"profile", "release left"}));
}

}  // namespace
}  // namespace zorvi
