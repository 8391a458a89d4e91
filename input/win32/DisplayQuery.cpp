#include "input/win32/DisplayQuery.h"

#include <windows.h>

namespace zorvi {

DisplayMode queryDisplayMode() {
  DEVMODEA record{};
  record.dmSize = sizeof record;
  // On failure the record stays zeroed, which reads as the all-zero mode.
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &record);
  return displayModeFromFields(record.dmBitsPerPel, record.dmPelsWidth, record.dmPelsHeight,
                               record.dmDisplayFrequency);
}

ScreenPoint cursorPosition() {
  POINT point{};
  if (!GetCursorPos(&point)) {
    return {};
  }
  return ScreenPoint{point.x, point.y};
}

DisplayMode Win32Screen::queryDisplayMode() { return zorvi::queryDisplayMode(); }

ScreenPoint Win32Screen::cursorPosition() { return zorvi::cursorPosition(); }

}  // namespace zorvi
