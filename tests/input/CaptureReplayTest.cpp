// A key and a pointer position travelling from one machine's hooks to another machine's desktop,
// through the real wire form, with both machines' own hooks watching.

#include <gtest/gtest.h>

#include "input/InputCapture.h"
#include "input/InputReplay.h"
#include "protocol/Markers.h"
#include "tests/input/InputFakes.h"

namespace zorvi {
namespace {

using fakes::CaptureRig;

// What the controlled session hands to replay: the Input body without its kind marker.
std::string payloadOf(const InputEvent& event) { return inputBody(event).substr(MARK_KIND_INPUT.size()); }

TEST(CaptureToReplay, AnEventReplaysAtTheSameFractionOnAnotherResolution) {
  CaptureRig controller(1920, 1080);
  CaptureRig controlled(2560, 1440);
  InputReplay replay(controlled.desktop);
  controller.capture.startControl();

  controller.desktop.movePointer({1000, 540});
  controller.desktop.keyAction(65, true);
  for (const InputEvent& event : controller.broadcaster.events) {
    replay.replayKeyMouse(payloadOf(event));
  }

  EXPECT_EQ(controlled.desktop.calls, (std::vector<std::string>{"cursor 1333,720", "cursor 1333,720", "key 65 down"}));
  // The controlled machine's own hooks saw the injected key, as Windows reports injected input.
  EXPECT_EQ(controlled.view.label, "键盘 A键   按下");
}

TEST(CaptureToReplay, AReplayedF9TakesTheControlledMachinesOwnScreenshot) {
  CaptureRig controller;
  CaptureRig controlled;
  InputReplay replay(controlled.desktop);
  controller.capture.startControl();

  controller.desktop.keyAction(120, true);
  ASSERT_EQ(controller.broadcaster.events.size(), 1u);
  replay.replayKeyMouse(payloadOf(controller.broadcaster.events[0]));
  controller.gui.runQueued();
  controlled.gui.runQueued();

  EXPECT_EQ(controller.screenshot.pictures, 1);
  EXPECT_EQ(controlled.screenshot.pictures, 1);
}

}  // namespace
}  // namespace zorvi
