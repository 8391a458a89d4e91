#pragma once
// The screenshot file: an uncompressed Windows bitmap (BMP) whatever its name says. A 14-byte file
// header, a 40-byte BITMAPINFOHEADER, a palette for 1, 4 and 8 bits per pixel, then the pixel rows
// bottom-up, each padded to a multiple of 4 bytes, blue-green-red for 24 bits. Pure functions;
// the caller supplies the pixels (on Windows, GetDIBits fills them in exactly this layout).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "console/ByteSink.h"

namespace zorvi {

inline constexpr std::uint32_t BITMAP_HEADERS_SIZE = 14 + 40;

struct BitmapLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t paletteEntries = 0;  // 2, 16 or 256 for 1, 4 or 8 bits; 0 for 24
  std::uint32_t rowBytes = 0;
  std::uint32_t pixelBytes = 0;

  std::uint32_t paletteBytes() const { return paletteEntries * 4; }
  std::uint32_t pixelOffset() const { return BITMAP_HEADERS_SIZE + paletteBytes(); }
  std::uint32_t fileSize() const { return pixelOffset() + pixelBytes; }
};

// The file's bits per pixel for a display whose colour depth (planes times bits per pixel) is
// given: 1, 4 or 8 when the depth is at most that, 24 for anything deeper (16- and 32-bit displays).
std::uint16_t bitsPerPixelForDisplay(int colourDepth);

// The layout of a width x height capture of a display of that depth. Empty when the area is empty
// or the file would not fit the format's 32-bit size field.
std::optional<BitmapLayout> bitmapLayout(std::int32_t width, std::int32_t height, int colourDepth);

// The file header followed by the information header, BITMAP_HEADERS_SIZE bytes.
std::vector<std::uint8_t> bitmapHeaders(const BitmapLayout& layout);

// Writes the whole file: headers, palette (4 bytes per entry: blue, green, red, 0) and pixel rows,
// exactly layout.fileSize() bytes. False, with nothing written, when the palette or the pixels do
// not have the layout's sizes; false when the sink fails.
bool writeBitmapFile(ByteSink& sink, const BitmapLayout& layout, std::span<const std::uint8_t> palette,
                     std::span<const std::uint8_t> pixels);

}  // namespace zorvi
