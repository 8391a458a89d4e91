#include "input/win32/InputHooks.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "input/win32/DisplayQuery.h"
#include "input/win32/Win32GuiThreadTasks.h"
#include "tests/input/InputFakes.h"
#include "tests/input/win32/PumpMessages.h"

namespace zorvi {
namespace {

using fakes::pumpFor;
using fakes::pumpUntil;

// The real hooks, screen and GUI thread around one capture; the window, the screenshot and the
// network side are test doubles.
class HookedCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks.installHooks(capture);
    ASSERT_TRUE(hooks.mouseHooked());
    ASSERT_TRUE(hooks.keyboardHooked());
  }
  void TearDown() override {
    hooks.removeHooks();
    pumpFor(20);
  }

  bool sawBroadcast(std::string_view keyState) const {
    return std::any_of(broadcaster.events.begin(), broadcaster.events.end(),
                       [&](const InputEvent& event) { return event.keyState == keyState; });
  }

  std::vector<std::string> log;
  Win32Screen screen;
  fakes::RecordingView view;
  fakes::FakeScreenshot screenshot{&log};
  Win32GuiThreadTasks gui;
  fakes::RecordingBroadcaster broadcaster;
  InputCapture capture{InputCapturePorts{screen, view, screenshot, gui, broadcaster}};
  InputHooks hooks;
};

TEST_F(HookedCapture, InjectedKeysReachTheHooksAndAreStillPassedOn) {
  keybd_event('A', 0, 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return view.label == "键盘 A键   按下"; })) << "label: " << view.label;
  EXPECT_NE(GetAsyncKeyState('A') & 0x8000, 0) << "the press was swallowed";
  keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
  ASSERT_TRUE(pumpUntil([&] { return view.label == "键盘 A键   放开"; })) << "label: " << view.label;
  EXPECT_EQ(GetAsyncKeyState('A') & 0x8000, 0);
}

TEST_F(HookedCapture, InjectedButtonsAreBroadcastWithTheCursorFractions) {
  const DisplayMode mode = queryDisplayMode();
  ASSERT_GT(mode.width, 0);
  ASSERT_TRUE(SetCursorPos(mode.width / 2, mode.height / 2));
  capture.startControl();
  mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return sawBroadcast("鼠标 右键放开"); })) << "label: " << view.label;
  const auto press = std::find_if(broadcaster.events.begin(), broadcaster.events.end(),
                                  [](const InputEvent& event) { return event.keyState == "鼠标 右键按下"; });
  ASSERT_NE(press, broadcaster.events.end());
  EXPECT_EQ(*press, (InputEvent{0.5f, 0.5f, "鼠标 右键按下"}));
  EXPECT_EQ(view.label, "鼠标 右键放开");
}

TEST_F(HookedCapture, F9ShootsASecondLaterAndTheHooksKeepWorking) {
  const ULONGLONG start = GetTickCount64();
  keybd_event(VK_F9, 0, 0, 0);
  keybd_event(VK_F9, 0, KEYEVENTF_KEYUP, 0);
  ASSERT_TRUE(pumpUntil([&] { return screenshot.pictures == 1; }, 5000));
  EXPECT_GE(GetTickCount64() - start, 900u);
  EXPECT_EQ(log, (std::vector<std::string>{"arm", "shoot"}));

  keybd_event('B', 0, 0, 0);
  keybd_event('B', 0, KEYEVENTF_KEYUP, 0);
  EXPECT_TRUE(pumpUntil([&] { return view.label == "键盘 B键   放开"; })) << "label: " << view.label;
}

TEST_F(HookedCapture, RemovedHooksSeeNothing) {
  hooks.removeHooks();
  EXPECT_FALSE(hooks.mouseHooked());
  EXPECT_FALSE(hooks.keyboardHooked());
  keybd_event('C', 0, 0, 0);
  keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
  pumpFor(200);
  EXPECT_EQ(view.labelUpdates, 0);
}

}  // namespace
}  // namespace zorvi
