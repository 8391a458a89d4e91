#pragma once
// The key vocabulary shared by capture and replay. Keys and mouse buttons never travel as codes:
// the controller names each event with a key-state text ("键盘 A键   按下", "鼠标 左键放开") and the
// controlled machine turns the same text back into an action. Built once, read-only afterwards,
// safe from any thread.

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvi {

enum class MouseButton { Left, Right, Middle };

// What one key-state text asks the controlled machine to do.
struct ReplayAction {
  enum class Kind { Nothing, Key, MouseButton };
  Kind kind = Kind::Nothing;
  std::uint32_t virtualKey = 0;            // for Kind::Key
  MouseButton button = MouseButton::Left;  // for Kind::MouseButton
  bool press = false;                      // press, or release
  bool operator==(const ReplayAction&) const = default;
};

// The six mouse-button key-state texts.
inline constexpr std::string_view TEXT_MOUSE_LEFT_DOWN = "鼠标 左键按下";
inline constexpr std::string_view TEXT_MOUSE_LEFT_UP = "鼠标 左键放开";
inline constexpr std::string_view TEXT_MOUSE_RIGHT_DOWN = "鼠标 右键按下";
inline constexpr std::string_view TEXT_MOUSE_RIGHT_UP = "鼠标 右键放开";
inline constexpr std::string_view TEXT_MOUSE_MIDDLE_DOWN = "鼠标 中键按下";
inline constexpr std::string_view TEXT_MOUSE_MIDDLE_UP = "鼠标 中键放开";

// Pieces of a keyboard key-state text: prefix + caption + suffix.
inline constexpr std::string_view TEXT_KEY_PREFIX = "键盘 ";
inline constexpr std::string_view TEXT_KEY_PRESSED = "   按下";
inline constexpr std::string_view TEXT_KEY_RELEASED = "   放开";

inline constexpr std::size_t KEY_TABLE_ROWS = 97;

namespace KeyNameTable {

// The caption of a virtual-key code ("A键", "Break", "Caps Lock键"), empty for a code without a row.
std::string_view captionOf(std::uint32_t virtualKey);

// "键盘 " + caption + "   按下" or "   放开"; a code without a row gives the prefix and the suffix alone.
std::string keyStateText(std::uint32_t virtualKey, bool pressed);

// The action of a whole key-state text, compared byte for byte; anything unknown is Nothing.
ReplayAction actionOf(std::string_view keyStateText);

}  // namespace KeyNameTable
}  // namespace zorvi
