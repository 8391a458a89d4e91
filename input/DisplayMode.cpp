#include "input/DisplayMode.h"

namespace zorvi {
namespace {

std::uint16_t low16(std::uint32_t value) { return static_cast<std::uint16_t>(value & 0xFFFFu); }

// Two's complement reading of 16 bits, written out so it does not rest on a narrowing conversion.
std::int16_t signed16(std::uint32_t value) {
  const int low = low16(value);
  return static_cast<std::int16_t>(low >= 0x8000 ? low - 0x10000 : low);
}

}  // namespace

DisplayMode displayModeFromFields(std::uint32_t bitsPerPixel, std::uint32_t width, std::uint32_t height,
                                  std::uint32_t frequency) {
  return DisplayMode{low16(bitsPerPixel), signed16(width), signed16(height), low16(frequency)};
}

}  // namespace zorvi
