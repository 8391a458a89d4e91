#pragma once
// Replay's injection through the real system: SetCursorPos, keybd_event and mouse_event.

#include "input/InputInjection.h"

namespace zorvi {

class Win32InputInjection final : public InputInjection {
 public:
  DisplayMode queryDisplayMode() override;
  void setCursorPos(ScreenPoint position) override;
  // keybd_event with scan code 0 and flags 0 or KEYEVENTF_KEYUP (never KEYEVENTF_EXTENDEDKEY).
  void keyAction(std::uint32_t virtualKey, bool press) override;
  // mouse_event with the button's down or up flag and 0 for position, data and extra information.
  void mouseButton(MouseButton button, bool press) override;
};

}  // namespace zorvi
