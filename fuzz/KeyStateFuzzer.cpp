// The key-state lookup of replay over arbitrary texts. The answer must be exactly what the capture
// side's table implies: the action of a text that keyStateText builds for a listed key or one of
// the six mouse texts, and nothing for every other text.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "input/KeyNameTable.h"

namespace {

using namespace zorvi;

std::map<std::string, ReplayAction> textsTheTableDefines() {
  std::map<std::string, ReplayAction> texts;
  for (std::uint32_t code = 0; code <= 0xFF; ++code) {
    if (KeyNameTable::captionOf(code).empty()) {
      continue;
    }
    for (const bool press : {true, false}) {
      texts[KeyNameTable::keyStateText(code, press)] = ReplayAction{ReplayAction::Kind::Key, code, MouseButton::Left, press};
    }
  }
  const auto mouse = [&texts](std::string_view text, MouseButton button, bool press) {
    texts[std::string(text)] = ReplayAction{ReplayAction::Kind::MouseButton, 0, button, press};
  };
  mouse(TEXT_MOUSE_LEFT_DOWN, MouseButton::Left, true);
  mouse(TEXT_MOUSE_LEFT_UP, MouseButton::Left, false);
  mouse(TEXT_MOUSE_RIGHT_DOWN, MouseButton::Right, true);
  mouse(TEXT_MOUSE_RIGHT_UP, MouseButton::Right, false);
  mouse(TEXT_MOUSE_MIDDLE_DOWN, MouseButton::Middle, true);
  mouse(TEXT_MOUSE_MIDDLE_UP, MouseButton::Middle, false);
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::map<std::string, ReplayAction> defined = textsTheTableDefines();
  zorvi::fuzz::require(defined.size() == 2 * KEY_TABLE_ROWS + 6, "the table defines 200 distinct texts");

  const std::string text(reinterpret_cast<const char*>(data), size);
  const ReplayAction action = KeyNameTable::actionOf(text);
  const auto found = defined.find(text);
  zorvi::fuzz::require(action == (found == defined.end() ? ReplayAction{} : found->second),
                       "the lookup disagrees with the texts the capture side builds");

  // The same bytes read as a virtual-key code: any code has a caption or none, never a failure.
  std::uint32_t code = 0;
  for (std::size_t i = 0; i < size && i < 4; ++i) {
    code = code << 8 | data[i];
  }
  const std::string pressed = KeyNameTable::keyStateText(code, true);
  zorvi::fuzz::require(KeyNameTable::actionOf(pressed) ==
                           (KeyNameTable::captionOf(code).empty()
                                ? ReplayAction{}
                                : ReplayAction{ReplayAction::Kind::Key, code, MouseButton::Left, true}),
                       "a code's press text replays a press of that code");
  return 0;
}
