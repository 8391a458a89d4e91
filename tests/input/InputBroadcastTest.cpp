#include "input/InputBroadcast.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "input/InputCapture.h"
#include "protocol/Markers.h"
#include "protocol/MessageCodec.h"
#include "tests/input/InputFakes.h"

namespace zorvi {
namespace {

using namespace std::chrono_literals;

constexpr auto PATIENCE = 10s;  // bound on every wait for the sending thread

// The client list as the broadcast thread sees it: rows changed by the test (the GUI thread),
// read whole under a lock from the sending thread.
class FakeTargets final : public BroadcastTargets {
 public:
  void addRow(std::string clientId, bool ticked) {
    std::lock_guard lock(mutex_);
    rows_.emplace_back(std::move(clientId), ticked);
  }
  void setTicked(std::size_t index, bool ticked) {
    std::lock_guard lock(mutex_);
    rows_.at(index).second = ticked;
  }
  std::vector<std::string> tickedClientIds() override {
    std::lock_guard lock(mutex_);
    std::vector<std::string> ids;
    for (const auto& [id, ticked] : rows_) {
      if (ticked) {
        ids.push_back(id);
      }
    }
    return ids;
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<std::string, bool>> rows_;
};

// Records what each connection was given. It can hold the sending thread inside one chosen send
// until the test lets it go, which is how a pass is caught between two rows.
class RecordingSender final : public InputSender {
 public:
  bool send(std::string_view clientId, std::string_view message) override {
    std::unique_lock lock(mutex_);
    ++sends_;
    if (holdAtSend_ == sends_) {
      held_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !held_; });
    }
    received_[std::string(clientId)].push_back(keyStateOf(message));
    changed_.notify_all();
    return clientId != goneClientId_;
  }

  // The next send numbered `sendNumber` (counting from 1 over all sends) waits for letGo().
  void holdAt(int sendNumber) {
    std::lock_guard lock(mutex_);
    holdAtSend_ = sendNumber;
  }
  bool waitUntilHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, PATIENCE, [this] { return held_; });
  }
  void letGo() {
    std::lock_guard lock(mutex_);
    held_ = false;
    holdAtSend_ = 0;
    changed_.notify_all();
  }
  void setGone(std::string clientId) {
    std::lock_guard lock(mutex_);
    goneClientId_ = std::move(clientId);
  }
  // Waits until `clientId` has received the event whose key state is `keyState`.
  bool waitFor(const std::string& clientId, const std::string& keyState) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, PATIENCE, [&] {
      const auto& got = received_[clientId];
      return std::find(got.begin(), got.end(), keyState) != got.end();
    });
  }
  std::map<std::string, std::vector<std::string>> received() {
    std::lock_guard lock(mutex_);
    return received_;
  }

 private:
  // The key state of a complete enveloped Input message; the test marks events by it.
  static std::string keyStateOf(std::string_view message) {
    const std::optional<TextMessage> parsed = MessageCodec::parseTextMessage(message);
    if (!parsed || parsed->body.rfind(MARK_KIND_INPUT, 0) != 0) {
      return "<not an Input message>";
    }
    const std::optional<InputEvent> event =
        readInputPayload(std::string_view(parsed->body).substr(MARK_KIND_INPUT.size()));
    return event ? event->keyState : "<bad payload>";
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  int sends_ = 0;
  int holdAtSend_ = 0;
  bool held_ = false;
  std::string goneClientId_;
  std::map<std::string, std::vector<std::string>> received_;
};

InputEvent marked(const std::string& mark) { return InputEvent{0.25f, 0.75f, mark}; }

class Broadcast : public ::testing::Test {
 protected:
  void SetUp() override {
    targets.addRow("10.0.0.1:50001", true);
    targets.addRow("10.0.0.2:50002", true);
    targets.addRow("10.0.0.3:50003", true);
  }
  FakeTargets targets;
  RecordingSender sender;
};

TEST_F(Broadcast, SendsOneCompleteInputMessageToEachTickedMachine) {
  targets.setTicked(1, false);
  {
    InputBroadcast broadcast(targets, sender);
    broadcast.broadcast(InputEvent{1000.0f / 1920.0f, 0.5f, "键盘 A键   按下"});
    ASSERT_TRUE(sender.waitFor("10.0.0.3:50003", "键盘 A键   按下"));
  }
  const auto received = sender.received();
  EXPECT_EQ(received.count("10.0.0.2:50002"), 0u);
  EXPECT_EQ(received.at("10.0.0.1:50001"), std::vector<std::string>{"键盘 A键   按下"});
  EXPECT_EQ(received.at("10.0.0.3:50003"), std::vector<std::string>{"键盘 A键   按下"});
}

TEST_F(Broadcast, EachMachineGetsEveryEventInTheOrderTheyHappened) {
  // Events keep coming while passes run and ticks change; a machine that is gone does not hold
  // up the rest. Every machine's events must come in increasing order, and the always-ticked
  // machines must get all of them.
  constexpr int EVENTS = 2000;
  sender.setGone("10.0.0.2:50002");
  InputBroadcast broadcast(targets, sender);
  for (int i = 0; i < EVENTS; ++i) {
    broadcast.broadcast(marked(std::to_string(i)));
    if (i % 7 == 0) {
      targets.setTicked(1, i % 2 == 0);
    }
  }
  ASSERT_TRUE(sender.waitFor("10.0.0.3:50003", std::to_string(EVENTS - 1)));
  ASSERT_TRUE(sender.waitFor("10.0.0.1:50001", std::to_string(EVENTS - 1)));
  for (const auto& [clientId, marks] : sender.received()) {
    for (std::size_t i = 1; i < marks.size(); ++i) {
      ASSERT_LT(std::stoi(marks[i - 1]), std::stoi(marks[i])) << clientId << " at " << i;
    }
  }
  EXPECT_EQ(sender.received().at("10.0.0.1:50001").size(), static_cast<std::size_t>(EVENTS));
  EXPECT_EQ(sender.received().at("10.0.0.3:50003").size(), static_cast<std::size_t>(EVENTS));
}

TEST_F(Broadcast, ReleaseStopsThePassBetweenRows) {
  fakes::CaptureRig rig;  // only its view, screen, screenshot and GUI thread
  InputBroadcast broadcast(targets, sender);
  InputCapture capture(InputCapturePorts{rig.desktop, rig.view, rig.screenshot, rig.gui, broadcast});
  capture.startControl();

  sender.holdAt(1);
  capture.onHookEvent({0x100, 65});
  ASSERT_TRUE(sender.waitUntilHeld());  // inside the send to the first row
  capture.releaseControl();
  sender.letGo();

  // A later event shows the stopped pass is over and nothing of it went further.
  capture.startControl();
  capture.onHookEvent({0x101, 65});
  ASSERT_TRUE(sender.waitFor("10.0.0.3:50003", "键盘 A键   放开"));
  const auto received = sender.received();
  EXPECT_EQ(received.at("10.0.0.1:50001"), (std::vector<std::string>{"键盘 A键   按下", "键盘 A键   放开"}));
  EXPECT_EQ(received.at("10.0.0.2:50002"), std::vector<std::string>{"键盘 A键   放开"});
  EXPECT_EQ(received.at("10.0.0.3:50003"), std::vector<std::string>{"键盘 A键   放开"});
}

TEST_F(Broadcast, StopReachesTheLatestEventEvenBeforeItsPassStartsAndSparesEarlierOnes) {
  InputBroadcast broadcast(targets, sender);
  sender.holdAt(1);
  broadcast.broadcast(marked("first"));
  ASSERT_TRUE(sender.waitUntilHeld());
  broadcast.broadcast(marked("second"));
  broadcast.broadcast(marked("latest"));
  broadcast.stopCurrentPass();
  sender.letGo();
  broadcast.broadcast(marked("after"));
  ASSERT_TRUE(sender.waitFor("10.0.0.3:50003", "after"));
  for (const auto& [clientId, marks] : sender.received()) {
    EXPECT_EQ(marks, (std::vector<std::string>{"first", "second", "after"})) << clientId;
  }
}

TEST_F(Broadcast, AFullQueueDropsNewEventsWithoutBlockingTheCaller) {
  InputBroadcast broadcast(targets, sender, 2);
  sender.holdAt(1);
  broadcast.broadcast(marked("1"));
  ASSERT_TRUE(sender.waitUntilHeld());  // "1" is out of the queue, in its pass
  broadcast.broadcast(marked("2"));
  broadcast.broadcast(marked("3"));
  broadcast.broadcast(marked("4"));  // queue full: dropped, and the call came back
  sender.letGo();
  ASSERT_TRUE(sender.waitFor("10.0.0.3:50003", "3"));
  broadcast.broadcast(marked("5"));
  ASSERT_TRUE(sender.waitFor("10.0.0.3:50003", "5"));
  EXPECT_EQ(sender.received().at("10.0.0.2:50002"), (std::vector<std::string>{"1", "2", "3", "5"}));
}

}  // namespace
}  // namespace zorvi
