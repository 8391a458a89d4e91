#include "input/InputReplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "input/DisplayMode.h"
#include "protocol/Markers.h"
#include "tests/input/InputFakes.h"

namespace zorvi {
namespace {

using fakes::FakeDesktop;

// An Input payload as the controlled session hands it over: the body without its kind marker.
std::string payload(std::string_view x, std::string_view y, std::string_view keyState) {
  std::string text(LABEL_INPUT_X);
  text.append(x).append(MARK_INPUT_FIELD_SEP).append(LABEL_INPUT_Y).append(y);
  text.append(MARK_INPUT_FIELD_SEP).append(LABEL_INPUT_STATE).append(keyState);
  return text;
}

struct CoordinateCase {
  float fraction;
  int extent;
  int expected;
};

class Coordinate : public ::testing::TestWithParam<CoordinateCase> {};

TEST_P(Coordinate, IsTheFloatFractionTimesTheExtentTruncatedTowardZero) {
  EXPECT_EQ(replayCoordinate(GetParam().fraction, GetParam().extent), GetParam().expected);
}

constexpr float INF = std::numeric_limits<float>::infinity();
constexpr int INT_LOWEST = std::numeric_limits<int>::min();
constexpr int INT_HIGHEST = std::numeric_limits<int>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, Coordinate,
    ::testing::Values(CoordinateCase{0.520833f, 1920, 999},  // 999.99939 truncated
                      CoordinateCase{0.520833f, 2560, 1333}, CoordinateCase{0.5f, 1920, 960},
                      CoordinateCase{0.5f, 1080, 540}, CoordinateCase{1.0f, 1920, 1920},
                      CoordinateCase{0.0f, 1920, 0}, CoordinateCase{-0.25f, 1920, -480},
                      CoordinateCase{-0.0001f, 1920, 0},  // -0.19 truncates toward zero
                      CoordinateCase{0.7f, 0, 0}, CoordinateCase{1e30f, 1920, INT_HIGHEST},
                      CoordinateCase{-1e30f, 1920, INT_LOWEST}, CoordinateCase{INF, 1920, INT_HIGHEST},
                      CoordinateCase{-INF, 1080, INT_LOWEST}, CoordinateCase{INF, 0, 0},
                      CoordinateCase{std::numeric_limits<float>::quiet_NaN(), 1920, 0}));

class Replay : public ::testing::Test {
 protected:
  FakeDesktop desktop{1920, 1080};
  InputReplay replay{desktop};
};

TEST_F(Replay, PlacesThePointerAtTheSameFractionOfThisDisplay) {
  replay.replayKeyMouse(payload("0.5", "0.5", ""));
  EXPECT_EQ(desktop.cursorPosition(), (ScreenPoint{960, 540}));

  FakeDesktop wide(2560, 1440);
  InputReplay wideReplay(wide);
  wideReplay.replayKeyMouse(payload("0.520833", "0.25", ""));
  EXPECT_EQ(wide.cursorPosition(), (ScreenPoint{1333, 360}));
}

TEST_F(Replay, MovesThePointerFirstThenPerformsTheKeyState) {
  replay.replayKeyMouse(payload("0.520833", "0.5", "键盘 A键   按下"));
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"cursor 999,540", "key 65 down"}));
  EXPECT_TRUE(desktop.keysDown.contains(65));
}

TEST_F(Replay, TwoIdenticalPressesGiveTwoPresses) {
  replay.replayKeyMouse(payload("0.1", "0.1", "键盘 A键   按下"));
  replay.replayKeyMouse(payload("0.2", "0.1", "键盘 A键   按下"));
  EXPECT_EQ(desktop.keyPresses[65], 2);
}

TEST_F(Replay, AKeyStateWithoutAnActionOnlyMovesThePointer) {
  for (std::string_view keyState : {std::string_view(""), std::string_view("键盘    按下"),  // Tab
                                    std::string_view("键盘 a键   按下"), std::string_view("鼠标 左键 按下")}) {
    desktop.calls.clear();
    replay.replayKeyMouse(payload("0.25", "0.5", keyState));
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"cursor 480,540"}) << keyState;
  }
}

TEST_F(Replay, MalformedPayloadsDoNothingAtAll) {
  const std::string sep(MARK_INPUT_FIELD_SEP);
  for (const std::string& bad :
       {std::string(), std::string(LABEL_INPUT_X) + "0.5" + sep + std::string(LABEL_INPUT_Y) + "0.5",
        payload("0.5", "0.5", "键盘 A键   按下") + sep + "extra", std::string("0.5,0.5,键盘 A键   按下"),
        sep + sep, sep + sep + sep + sep}) {
    replay.replayKeyMouse(bad);
  }
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_EQ(desktop.cursorPosition(), (ScreenPoint{0, 0}));
}

TEST_F(Replay, FractionTextThatIsNotANumberGoesToTheEdgeAndHostileNumbersStayDefined) {
  desktop.setCursorPos({500, 500});
  desktop.calls.clear();
  replay.replayKeyMouse(payload("abc", "", ""));
  replay.replayKeyMouse(payload("1e300", "-1e300", ""));
  replay.replayKeyMouse(payload("nan", "inf", ""));
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"cursor 0,0", "cursor 2147483647,-2147483648",
                                                     "cursor 0,2147483647"}));
  EXPECT_EQ(desktop.cursorPosition(), (ScreenPoint{0, 1079}));
}

TEST_F(Replay, AnUnreadableDisplayModeSendsThePointerToTheOrigin) {
  desktop.setUnreadableMode();
  replay.replayKeyMouse(payload("0.5", "0.5", ""));
  EXPECT_EQ(desktop.calls, std::vector<std::string>{"cursor 0,0"});
}

struct MouseTextCase {
  std::string_view keyState;
  const char* call;
};

class MouseText : public ::testing::TestWithParam<MouseTextCase> {};

TEST_P(MouseText, PressesOrReleasesItsButtonWhereThePointerIs) {
  FakeDesktop desktop(1920, 1080);
  InputReplay replay(desktop);
  replay.perform(GetParam().keyState);
  EXPECT_EQ(desktop.calls, std::vector<std::string>{GetParam().call});
}

INSTANTIATE_TEST_SUITE_P(Buttons, MouseText,
                         ::testing::Values(MouseTextCase{TEXT_MOUSE_LEFT_DOWN, "mouse left down"},
                                           MouseTextCase{TEXT_MOUSE_LEFT_UP, "mouse left up"},
                                           MouseTextCase{TEXT_MOUSE_RIGHT_DOWN, "mouse right down"},
                                           MouseTextCase{TEXT_MOUSE_RIGHT_UP, "mouse right up"},
                                           MouseTextCase{TEXT_MOUSE_MIDDLE_DOWN, "mouse middle down"},
                                           MouseTextCase{TEXT_MOUSE_MIDDLE_UP, "mouse middle up"}));

TEST_F(Replay, KeyReleaseTextsReleaseTheirKey) {
  replay.perform("键盘 右Alt键   按下");
  replay.perform("键盘 右Alt键   放开");
  replay.perform("键盘 Fn键   放开");
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"key 165 down", "key 165 up", "key 255 up"}));
  EXPECT_TRUE(desktop.keysDown.empty());
}

TEST(DisplayModeFields, KeepTheLow16BitsWithWidthAndHeightSigned) {
  EXPECT_EQ(displayModeFromFields(32, 1920, 1080, 60), (DisplayMode{32, 1920, 1080, 60}));
  EXPECT_EQ(displayModeFromFields(0x10020, 0x10780, 0x20438, 0x1003C), (DisplayMode{32, 1920, 1080, 60}));
  EXPECT_EQ(displayModeFromFields(24, 40000, 0xFFFF, 65535), (DisplayMode{24, -25536, -1, 65535}));
  EXPECT_EQ(displayModeFromFields(0, 0, 0, 0), DisplayMode{});
}

}  // namespace
}  // namespace zorvi
