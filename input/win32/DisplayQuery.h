#pragma once
// The display and pointer queries of the real system, shared by capture and replay.

#include "input/CapturePorts.h"
#include "input/DisplayMode.h"

namespace zorvi {

// The current mode of the current display device (EnumDisplaySettingsA, ENUM_CURRENT_SETTINGS);
// all zeros when it cannot be read.
DisplayMode queryDisplayMode();

// GetCursorPos; 0, 0 when the position cannot be read.
ScreenPoint cursorPosition();

// The capture's view of the real screen.
class Win32Screen final : public ScreenQuery {
 public:
  DisplayMode queryDisplayMode() override;
  ScreenPoint cursorPosition() override;
};

}  // namespace zorvi
