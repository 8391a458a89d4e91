#include "input/KeyNameTable.h"

#include <gtest/gtest.h>

#include <set>

namespace zorvi {
namespace {

using KeyNameTable::actionOf;
using KeyNameTable::captionOf;
using KeyNameTable::keyStateText;

ReplayAction keyAction(std::uint32_t code, bool press) {
  return {ReplayAction::Kind::Key, code, MouseButton::Left, press};
}

ReplayAction mouseAction(MouseButton button, bool press) {
  return {ReplayAction::Kind::MouseButton, 0, button, press};
}

struct CaptionCase {
  std::uint32_t code;
  std::string_view caption;
  friend void PrintTo(const CaptionCase& c, std::ostream* os) { *os << "code " << c.code; }
};

class Caption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(Caption, NamesTheKey) { EXPECT_EQ(captionOf(GetParam().code), GetParam().caption); }

INSTANTIATE_TEST_SUITE_P(
    Rows, Caption,
    ::testing::Values(CaptionCase{48, "0键"}, CaptionCase{57, "9键"}, CaptionCase{65, "A键"}, CaptionCase{90, "Z键"},
                      CaptionCase{112, "F1键"}, CaptionCase{120, "F9键"}, CaptionCase{121, "F10键"},
                      CaptionCase{127, "F16键"}, CaptionCase{3, "Break"}, CaptionCase{13, "回车键"},
                      CaptionCase{20, "Caps Lock键"}, CaptionCase{32, "空格键"}, CaptionCase{37, "左光标键"},
                      CaptionCase{91, "Win键"}, CaptionCase{106, "乘号键"}, CaptionCase{107, "加号键"},
                      CaptionCase{165, "右Alt键"}, CaptionCase{191, "除号键"}, CaptionCase{192, "反撇号键"},
                      CaptionCase{220, "斜杠键"}, CaptionCase{222, "单引号键"}, CaptionCase{255, "Fn键"}));

INSTANTIATE_TEST_SUITE_P(
    KeysWithoutARow, Caption,
    ::testing::Values(CaptionCase{9, ""}, CaptionCase{12, ""}, CaptionCase{92, ""}, CaptionCase{96, ""},
                      CaptionCase{105, ""}, CaptionCase{108, ""}, CaptionCase{111, ""}, CaptionCase{128, ""},
                      CaptionCase{135, ""}, CaptionCase{226, ""}, CaptionCase{0, ""}, CaptionCase{256, ""},
                      CaptionCase{0x10041, ""}));

TEST(KeyNameTable, HasNinetySevenRowsAndTwoHundredDistinctTexts) {
  std::set<std::string> captions;
  std::set<std::string> texts;
  for (std::uint32_t code = 0; code < 0x200; ++code) {
    if (!captionOf(code).empty()) {
      captions.emplace(captionOf(code));
      texts.insert(keyStateText(code, true));
      texts.insert(keyStateText(code, false));
    }
  }
  for (std::string_view mouse : {TEXT_MOUSE_LEFT_DOWN, TEXT_MOUSE_LEFT_UP, TEXT_MOUSE_RIGHT_DOWN,
                                 TEXT_MOUSE_RIGHT_UP, TEXT_MOUSE_MIDDLE_DOWN, TEXT_MOUSE_MIDDLE_UP}) {
    texts.emplace(mouse);
  }
  EXPECT_EQ(captions.size(), KEY_TABLE_ROWS);
  EXPECT_EQ(texts.size(), 200u);
}

TEST(KeyNameTable, BothDirectionsAgreeForEveryRow) {
  for (std::uint32_t code = 0; code < 0x200; ++code) {
    if (captionOf(code).empty()) {
      continue;
    }
    EXPECT_EQ(actionOf(keyStateText(code, true)), keyAction(code, true)) << code;
    EXPECT_EQ(actionOf(keyStateText(code, false)), keyAction(code, false)) << code;
  }
}

TEST(KeyNameTable, KeyStateTextsHaveTheirExactBytes) {
  EXPECT_EQ(keyStateText(65, true), "键盘 A键   按下");
  EXPECT_EQ(keyStateText(65, true).size(), 15u);
  EXPECT_EQ(keyStateText(3, true), "键盘 Break   按下");
  EXPECT_EQ(keyStateText(120, false), "键盘 F9键   放开");
  EXPECT_EQ(keyStateText(9, true), "键盘    按下");  // Tab has no caption
}

struct ActionCase {
  const char* name;
  std::string_view text;
  ReplayAction action;
  friend void PrintTo(const ActionCase& c, std::ostream* os) { *os << c.name; }
};

class Action : public ::testing::TestWithParam<ActionCase> {};

TEST_P(Action, IsLookedUpByTheWholeText) { EXPECT_EQ(actionOf(GetParam().text), GetParam().action); }

INSTANTIATE_TEST_SUITE_P(
    Texts, Action,
    ::testing::Values(
        ActionCase{"left_down", "鼠标 左键按下", mouseAction(MouseButton::Left, true)},
        ActionCase{"left_up", "鼠标 左键放开", mouseAction(MouseButton::Left, false)},
        ActionCase{"right_down", "鼠标 右键按下", mouseAction(MouseButton::Right, true)},
        ActionCase{"right_up", "鼠标 右键放开", mouseAction(MouseButton::Right, false)},
        ActionCase{"middle_down", "鼠标 中键按下", mouseAction(MouseButton::Middle, true)},
        ActionCase{"middle_up", "鼠标 中键放开", mouseAction(MouseButton::Middle, false)},
        ActionCase{"fn_press", "键盘 Fn键   按下", keyAction(255, true)},
        ActionCase{"enter_release", "键盘 回车键   放开", keyAction(13, false)},
        ActionCase{"caps_lock", "键盘 Caps Lock键   按下", keyAction(20, true)},
        ActionCase{"slash_key", "键盘 除号键   按下", keyAction(191, true)},
        ActionCase{"backslash_key", "键盘 斜杠键   按下", keyAction(220, true)},
        ActionCase{"backquote_key", "键盘 反撇号键   放开", keyAction(192, false)},
        ActionCase{"tab_text_is_nothing", "键盘    按下", ReplayAction{}},
        ActionCase{"caps_lock_without_inner_space", "键盘 CapsLock键   按下", ReplayAction{}},
        ActionCase{"one_space_before_press", "键盘 A键 按下", ReplayAction{}},
        ActionCase{"small_letter", "键盘 a键   按下", ReplayAction{}},
        ActionCase{"mouse_with_space_before_action", "鼠标 左键 按下", ReplayAction{}},
        ActionCase{"trailing_space", "鼠标 左键按下 ", ReplayAction{}},
        ActionCase{"prefix_only", "键盘 A键", ReplayAction{}},
        ActionCase{"empty", "", ReplayAction{}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace zorvi
