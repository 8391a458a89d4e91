#include "input/InputCapture.h"

#include <gtest/gtest.h>

#include "input/KeyNameTable.h"
#include "tests/input/InputFakes.h"

namespace zorvi {
namespace {

using fakes::CaptureRig;

constexpr std::string_view PRIOR_STATE = "键盘 B键   按下";

struct ClassifyCase {
  const char* name;
  std::uint32_t messageId;
  std::uint32_t virtualKey;
  std::string_view expected;  // the key state after the event; PRIOR_STATE when unchanged
};

std::ostream& operator<<(std::ostream& out, const ClassifyCase& c) { return out << c.name; }

class Classification : public ::testing::TestWithParam<ClassifyCase> {};

// Every event runs the whole procedure: the label shows the text and, with control on, the event
// is broadcast carrying it, whether or not the event changed it.
TEST_P(Classification, SetsOrKeepsTheKeyStateAndShowsAndBroadcastsIt) {
  CaptureRig rig;
  rig.capture.onHookEvent({0x100, 66});
  ASSERT_EQ(rig.capture.lastKeyState(), PRIOR_STATE);
  rig.capture.startControl();

  rig.capture.onHookEvent({GetParam().messageId, GetParam().virtualKey});

  EXPECT_EQ(rig.capture.lastKeyState(), GetParam().expected);
  EXPECT_EQ(rig.view.label, GetParam().expected);
  ASSERT_EQ(rig.broadcaster.events.size(), 1u);
  EXPECT_EQ(rig.broadcaster.events[0].keyState, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    MessageIds, Classification,
    ::testing::Values(
        ClassifyCase{"LeftDown", 0x201, 0, "鼠标 左键按下"}, ClassifyCase{"LeftUp", 0x202, 0, "鼠标 左键放开"},
        ClassifyCase{"RightDown", 0x204, 0, "鼠标 右键按下"}, ClassifyCase{"RightUp", 0x205, 0, "鼠标 右键放开"},
        ClassifyCase{"MiddleDown", 0x207, 0, "鼠标 中键按下"}, ClassifyCase{"MiddleUp", 0x208, 0, "鼠标 中键放开"},
        ClassifyCase{"Move", 0x200, 0, PRIOR_STATE}, ClassifyCase{"Wheel", 0x20A, 0, PRIOR_STATE},
        ClassifyCase{"XButtonDown", 0x20B, 0, PRIOR_STATE}, ClassifyCase{"XButtonUp", 0x20C, 0, PRIOR_STATE},
        ClassifyCase{"HorizontalWheel", 0x20E, 0, PRIOR_STATE},
        ClassifyCase{"KeyDown", 0x100, 65, "键盘 A键   按下"}, ClassifyCase{"KeyUp", 0x101, 65, "键盘 A键   放开"},
        ClassifyCase{"KeyUpOfOtherKey", 0x101, 121, "键盘 F10键   放开"},
        ClassifyCase{"TabWithoutCaption", 0x100, 9, "键盘    按下"},
        ClassifyCase{"LeftAltSysKeyDown", 0x104, 164, "键盘 左Alt键   按下"},
        ClassifyCase{"RightAltSysKeyDown", 0x104, 165, "键盘 右Alt键   按下"},
        ClassifyCase{"KeyWhileAltHeld", 0x104, 65, PRIOR_STATE},
        ClassifyCase{"GenericAltSysKeyDown", 0x104, 18, PRIOR_STATE},
        ClassifyCase{"F10IsASystemKey", 0x104, 121, "键盘 F10键   按下"},
        ClassifyCase{"F10SystemKeyRelease", 0x105, 121, "键盘 F10键   放开"},
        ClassifyCase{"SysKeyUp", 0x105, 164, PRIOR_STATE}, ClassifyCase{"CharMessage", 0x102, 65, PRIOR_STATE},
        ClassifyCase{"BelowKeyboardRange", 0x0, 65, PRIOR_STATE}),
    [](const ::testing::TestParamInfo<ClassifyCase>& param) { return std::string(param.param.name); });

TEST(InputCapture, BeforeTheFirstKeyTheStateIsEmptyAndBroadcastsCarryIt) {
  CaptureRig rig;
  rig.capture.startControl();
  rig.desktop.movePointer({960, 540});
  rig.capture.onHookEvent({0x20A, 0});
  ASSERT_EQ(rig.broadcaster.events.size(), 2u);
  EXPECT_EQ(rig.broadcaster.events[0], (InputEvent{0.5f, 0.5f, ""}));
  EXPECT_EQ(rig.broadcaster.events[1].keyState, "");
  EXPECT_EQ(rig.view.label, "");
  EXPECT_EQ(rig.view.labelUpdates, 2);
}

TEST(InputCapture, MovesCarryTheLastButtonState) {
  CaptureRig rig;
  rig.capture.startControl();
  rig.desktop.mouseButton(MouseButton::Left, true);
  rig.desktop.movePointer({10, 10});
  rig.desktop.movePointer({20, 20});
  rig.desktop.mouseButton(MouseButton::Left, false);
  rig.desktop.movePointer({30, 30});
  std::vector<std::string> carried;
  for (const InputEvent& event : rig.broadcaster.events) {
    carried.push_back(event.keyState);
  }
  EXPECT_EQ(carried, (std::vector<std::string>{"鼠标 左键按下", "鼠标 左键按下", "鼠标 左键按下",
                                               "鼠标 左键放开", "鼠标 左键放开"}));
}

TEST(InputCapture, ControlOffUpdatesTheLabelButBroadcastsNothing) {
  CaptureRig rig;
  rig.desktop.keyAction(65, true);
  rig.desktop.movePointer({5, 5});
  EXPECT_EQ(rig.view.label, "键盘 A键   按下");
  EXPECT_TRUE(rig.broadcaster.events.empty());
}

TEST(InputCapture, FractionsComeFromTheCursorOverTheDisplayQueriedForEachEvent) {
  CaptureRig rig(1920, 1080);
  rig.capture.startControl();
  rig.desktop.movePointer({1000, 270});
  rig.desktop.setResolution(2560, 1440);
  rig.desktop.movePointer({1280, -144});
  ASSERT_EQ(rig.broadcaster.events.size(), 2u);
  EXPECT_EQ(formatFraction(rig.broadcaster.events[0].horizontal), "0.520833");
  EXPECT_EQ(formatFraction(rig.broadcaster.events[0].vertical), "0.25");
  EXPECT_EQ(formatFraction(rig.broadcaster.events[1].horizontal), "0.5");
  EXPECT_EQ(formatFraction(rig.broadcaster.events[1].vertical), "-0.1");
}

TEST(InputCapture, AMouseEventCarriesItsOwnPositionNotTheCursorsOldOne) {
  CaptureRig rig;
  rig.capture.startControl();
  rig.desktop.movePointer({960, 540});
  rig.broadcaster.events.clear();
  // Inside the hook call the system cursor still shows where the pointer was before this move.
  rig.capture.onHookEvent({0x200, 0, ScreenPoint{480, 810}});
  rig.capture.onHookEvent({0x100, 65});
  ASSERT_EQ(rig.broadcaster.events.size(), 2u);
  EXPECT_EQ(rig.broadcaster.events[0], (InputEvent{0.25f, 0.75f, ""}));
  EXPECT_EQ(rig.broadcaster.events[1], (InputEvent{0.5f, 0.5f, "键盘 A键   按下"}));  // keys: the cursor
}

TEST(InputCapture, F10AsTheSystemReportsItReleasesControlOnceAndCanBeTakenAgain) {
  CaptureRig rig;
  rig.capture.startControl();
  rig.capture.onHookEvent({0x104, 121});
  EXPECT_FALSE(rig.capture.controlOn());
  rig.capture.onHookEvent({0x105, 121});
  rig.capture.startControl();
  rig.capture.onHookEvent({0x200, 0, ScreenPoint{1, 1}});
  EXPECT_TRUE(rig.capture.controlOn());
}

TEST(InputCapture, AnUnreadableDisplayModeSendsZeroFractionsNotInfinity) {
  CaptureRig rig;
  rig.capture.startControl();
  rig.desktop.setUnreadableMode();
  rig.desktop.movePointer({700, 300});
  ASSERT_EQ(rig.broadcaster.events.size(), 1u);
  EXPECT_EQ(inputBody(rig.broadcaster.events[0]), inputBody(InputEvent{0.0f, 0.0f, ""}));
}

TEST(PointerFraction, IsSinglePrecisionAndZeroForAnEmptyExtent) {
  EXPECT_EQ(pointerFraction(1000, 1920), 1000.0f / 1920.0f);
  EXPECT_EQ(pointerFraction(-192, 1920), -0.1f);
  EXPECT_EQ(pointerFraction(2400, 1920), 1.25f);
  EXPECT_EQ(pointerFraction(5, 0), 0.0f);
  EXPECT_EQ(pointerFraction(-5, 0), 0.0f);
}

TEST(InputCapture, StartAndReleaseSwitchTheButtons) {
  using enum ControlButton;
  CaptureRig rig;
  rig.capture.startControl();
  EXPECT_TRUE(rig.capture.controlOn());
  EXPECT_EQ(rig.view.buttons, (std::map<ControlButton, bool>{{TakeControl, false}, {ReleaseControl, true},
                                                             {ExportToExcel, false}}));
  rig.capture.releaseControl();
  EXPECT_FALSE(rig.capture.controlOn());
  EXPECT_EQ(rig.view.buttons, (std::map<ControlButton, bool>{{TakeControl, true}, {ReleaseControl, false},
                                                             {ExportToExcel, true}}));
}

TEST(InputCapture, ReleaseWithoutControlStillSetsTheReleasedButtons) {
  using enum ControlButton;
  CaptureRig rig;
  rig.desktop.keyAction(121, true);  // F10 on an instance that never had control
  EXPECT_FALSE(rig.capture.controlOn());
  EXPECT_EQ(rig.view.buttons, (std::map<ControlButton, bool>{{TakeControl, true}, {ReleaseControl, false},
                                                             {ExportToExcel, true}}));
  EXPECT_TRUE(rig.broadcaster.events.empty());
}

TEST(InputCapture, F10IsBroadcastThenReleasesAndStopsThatPassAndItsReleaseStaysLocal) {
  CaptureRig rig;
  rig.capture.startControl();
  rig.desktop.keyAction(121, true);
  rig.desktop.keyAction(121, false);
  EXPECT_EQ(rig.log, (std::vector<std::string>{"broadcast 键盘 F10键   按下", "stop"}));
  EXPECT_EQ(rig.view.label, "键盘 F10键   放开");
}

TEST(InputCapture, F9ArmsAtOnceAndShootsAfterTheWaitOutsideTheHookCall) {
  CaptureRig rig;
  rig.desktop.keyAction(120, true);
  // The hook call has returned without waiting; the counter is armed already.
  EXPECT_EQ(rig.log, std::vector<std::string>{"arm"});
  EXPECT_EQ(rig.view.label, "键盘 F9键   按下");
  ASSERT_EQ(rig.gui.queued.size(), 1u);

  rig.gui.runQueued();
  std::vector<std::string> expected{"arm"};
  expected.insert(expected.end(), 10, "wait 100");  // a second, in slices
  expected.emplace_back("shoot");
  EXPECT_EQ(rig.log, expected);
  EXPECT_EQ(rig.screenshot.pictures, 1);
}

// Two triggers half a second apart: one picture, a second after the later one.
TEST(InputCapture, ATriggerDuringTheWaitStartsTheSecondAgain) {
  CaptureRig rig;
  rig.desktop.keyAction(120, true);
  rig.gui.duringWait = [&](std::size_t waitsSoFar) {
    if (waitsSoFar == 5) {
      rig.desktop.movePointer({1, 1});  // the text still names the F9 press
    }
  };
  rig.gui.runQueued();
  EXPECT_EQ(rig.gui.waits, std::vector<unsigned>(15, 100));
  EXPECT_EQ(rig.screenshot.pictures, 1);
  EXPECT_TRUE(rig.gui.queued.empty());
}

TEST(InputCapture, F9WithControlOnIsBroadcastToo) {
  CaptureRig rig;
  rig.capture.startControl();
  rig.desktop.keyAction(120, true);
  EXPECT_EQ(rig.log, (std::vector<std::string>{"broadcast 键盘 F9键   按下", "arm"}));
}

TEST(InputCapture, RetriggersWhileAShotIsQueuedOnlyRearmTheCounter) {
  CaptureRig rig;
  rig.desktop.keyAction(120, true);
  rig.desktop.movePointer({1, 1});  // the text still names the F9 press
  rig.desktop.movePointer({2, 2});
  EXPECT_EQ(rig.log, (std::vector<std::string>{"arm", "arm", "arm"}));
  EXPECT_EQ(rig.gui.queued.size(), 1u);
  rig.gui.runQueued();
  EXPECT_EQ(rig.screenshot.pictures, 1);

  // Once that shot is done, the next trigger queues a new one.
  rig.desktop.keyAction(120, false);
  rig.desktop.keyAction(120, true);
  ASSERT_EQ(rig.gui.queued.size(), 1u);
  rig.gui.runQueued();
  EXPECT_EQ(rig.screenshot.pictures, 2);
}

TEST(InputCapture, AShotThatCouldNotBeQueuedIsTriedAgainOnTheNextTrigger) {
  CaptureRig rig;
  rig.gui.acceptPosts = false;
  rig.desktop.keyAction(120, true);
  EXPECT_TRUE(rig.gui.queued.empty());
  rig.gui.acceptPosts = true;
  rig.desktop.movePointer({3, 3});
  ASSERT_EQ(rig.gui.queued.size(), 1u);
  rig.gui.runQueued();
  EXPECT_EQ(rig.screenshot.pictures, 1);
}

}  // namespace
}  // namespace zorvi
