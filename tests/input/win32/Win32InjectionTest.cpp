#include "input/win32/Win32InputInjection.h"

#include <gtest/gtest.h>

#include "input/InputReplay.h"
#include "input/win32/DisplayQuery.h"
#include "input/win32/InputHooks.h"
#include "input/win32/Win32GuiThreadTasks.h"
#include "protocol/Markers.h"
#include "tests/input/InputFakes.h"
#include "tests/input/win32/PumpMessages.h"

namespace zorvi {
namespace {

using fakes::pumpUntil;

std::string payload(std::string_view x, std::string_view y, std::string_view keyState) {
  std::string text(LABEL_INPUT_X);
  text.append(x).append(MARK_INPUT_FIELD_SEP).append(LABEL_INPUT_Y).append(y);
  text.append(MARK_INPUT_FIELD_SEP).append(LABEL_INPUT_STATE).append(keyState);
  return text;
}

TEST(DisplayQuery, ReadsTheCurrentModeOfThisDisplay) {
  const DisplayMode mode = queryDisplayMode();
  EXPECT_EQ(mode.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(mode.height, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(mode.bitsPerPixel, 0);
}

TEST(Win32Replay, HalfAndHalfPutsThePointerAtTheCentre) {
  Win32InputInjection injection;
  InputReplay replay(injection);
  const DisplayMode mode = queryDisplayMode();
  ASSERT_GT(mode.width, 0);
  SetCursorPos(3, 3);
  replay.replayKeyMouse(payload("0.5", "0.5", ""));
  POINT point{};
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, mode.width / 2);
  EXPECT_EQ(point.y, mode.height / 2);
}

TEST(Win32Replay, AMalformedPayloadLeavesThePointerAlone) {
  Win32InputInjection injection;
  InputReplay replay(injection);
  SetCursorPos(7, 9);
  replay.replayKeyMouse(std::string(LABEL_INPUT_X) + "0.5");
  POINT point{};
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 7);
  EXPECT_EQ(point.y, 9);
}

// Replayed input is seen by this machine's own hooks, as on a controlled machine.
TEST(Win32Replay, ReplayedKeysAndButtonsReachTheHooks) {
  Win32Screen screen;
  fakes::RecordingView view;
  fakes::FakeScreenshot screenshot;
  Win32GuiThreadTasks gui;
  fakes::RecordingBroadcaster broadcaster;
  InputCapture capture(InputCapturePorts{screen, view, screenshot, gui, broadcaster});
  InputHooks hooks;
  hooks.installHooks(capture);
  Win32InputInjection injection;
  InputReplay replay(injection);

  replay.replayKeyMouse(payload("0.25", "0.25", "键盘 Z键   按下"));
  EXPECT_TRUE(pumpUntil([&] { return view.label == "键盘 Z键   按下"; })) << "label: " << view.label;
  replay.replayKeyMouse(payload("0.25", "0.25", "键盘 Z键   放开"));
  EXPECT_TRUE(pumpUntil([&] { return view.label == "键盘 Z键   放开"; })) << "label: " << view.label;
  replay.replayKeyMouse(payload("0.25", "0.25", "鼠标 中键按下"));
  EXPECT_TRUE(pumpUntil([&] { return view.label == "鼠标 中键按下"; })) << "label: " << view.label;
  replay.replayKeyMouse(payload("0.25", "0.25", "鼠标 中键放开"));
  EXPECT_TRUE(pumpUntil([&] { return view.label == "鼠标 中键放开"; })) << "label: " << view.label;
}

}  // namespace
}  // namespace zorvi
