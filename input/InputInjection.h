#pragma once
// The operating system as input replay drives it: the display, the pointer and synthetic key and
// mouse-button events. Called on the GUI thread. Results of the system calls are not reported:
// replay has no use for them.

#include <cstdint>

#include "input/DisplayMode.h"
#include "input/KeyNameTable.h"

namespace zorvi {

class InputInjection {
 public:
  virtual ~InputInjection() = default;
  // The current display mode (all zeros when it cannot be read).
  virtual DisplayMode queryDisplayMode() = 0;
  // Moves the pointer; the system keeps it on the screen.
  virtual void setCursorPos(ScreenPoint position) = 0;
  // One synthetic press or release of a virtual key, with no scan code and no extended flag.
  virtual void keyAction(std::uint32_t virtualKey, bool press) = 0;
  // One synthetic press or release of a mouse button wherever the pointer is.
  virtual void mouseButton(MouseButton button, bool press) = 0;
};

}  // namespace zorvi
