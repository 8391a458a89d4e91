#pragma once
// The current display mode as capture and replay use it, in the program's own terms.

#include <cstdint>

namespace zorvi {

// Four 16-bit values of the current display mode. Width and height are read as signed 16-bit
// numbers; a mode that cannot be read is all zeros.
struct DisplayMode {
  std::uint16_t bitsPerPixel = 0;
  std::int16_t width = 0;
  std::int16_t height = 0;
  std::uint16_t frequency = 0;
  bool operator==(const DisplayMode&) const = default;
};

// The mode from the four 32-bit fields of a display mode record: the low 16 bits of each, width and
// height reinterpreted as signed.
DisplayMode displayModeFromFields(std::uint32_t bitsPerPixel, std::uint32_t width, std::uint32_t height,
                                  std::uint32_t frequency);

// A pointer position in screen pixels (negative left of or above the primary display).
struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

}  // namespace zorvi
