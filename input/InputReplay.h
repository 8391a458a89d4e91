#pragma once
// The controlled machine's half of keyboard-and-mouse synchronisation: each received Input payload
// puts the local pointer at the same fraction of the local display and performs its key-state text.
// No state is kept between messages. Called on the GUI thread, one message at a time.

#include <cstdint>
#include <string_view>

#include "input/InputInjection.h"

namespace zorvi {

// The pixel for a fraction of a display extent: the fraction (already single precision) times the
// extent in double precision, truncated toward zero. A product beyond the int range is clamped to
// it and a nan fraction gives 0, so hostile fraction text still gives a defined position.
int replayCoordinate(float fraction, int extent);

class InputReplay {
 public:
  // `injection` must outlive this object.
  explicit InputReplay(InputInjection& injection);

  // The Input payload (the body without its kind marker): exactly three pieces move the pointer
  // and then perform the key state when it is not empty; anything else does nothing at all.
  void replayKeyMouse(std::string_view payload);

  // Performs the action the key name table gives for the text; an unknown text does nothing.
  void perform(std::string_view keyState);

  void keyAction(std::uint32_t virtualKey, bool press);
  void mouseButton(MouseButton button, bool press);

 private:
  InputInjection& injection_;
};

}  // namespace zorvi
