#include "input/InputReplay.h"

#include <cmath>
#include <limits>

#include "protocol/Payloads.h"

namespace zorvi {

int replayCoordinate(float fraction, int extent) {
  const double product = static_cast<double>(fraction) * static_cast<double>(extent);
  if (std::isnan(product)) {
    return 0;
  }
  constexpr double lowest = static_cast<double>(std::numeric_limits<int>::min());
  constexpr double highest = static_cast<double>(std::numeric_limits<int>::max());
  if (product <= lowest) {
    return std::numeric_limits<int>::min();
  }
  if (product >= highest) {
    return std::numeric_limits<int>::max();
  }
  return static_cast<int>(product);  // truncates toward zero
}

InputReplay::InputReplay(InputInjection& injection) : injection_(injection) {}

void InputReplay::replayKeyMouse(std::string_view payload) {
  const std::optional<InputEvent> event = readInputPayload(payload);
  if (!event) {
    return;
  }
  const DisplayMode mode = injection_.queryDisplayMode();
  injection_.setCursorPos(
      ScreenPoint{replayCoordinate(event->horizontal, mode.width), replayCoordinate(event->vertical, mode.height)});
  if (!event->keyState.empty()) {
    perform(event->keyState);
  }
}

void InputReplay::perform(std::string_view keyState) {
  const ReplayAction action = KeyNameTable::actionOf(keyState);
  switch (action.kind) {
    case ReplayAction::Kind::Key:
      keyAction(action.virtualKey, action.press);
      break;
    case ReplayAction::Kind::MouseButton:
      mouseButton(action.button, action.press);
      break;
    case ReplayAction::Kind::Nothing:
      break;
  }
}

void InputReplay::keyAction(std::uint32_t virtualKey, bool press) { injection_.keyAction(virtualKey, press); }

void InputReplay::mouseButton(MouseButton button, bool press) { injection_.mouseButton(button, press); }

}  // namespace zorvi
