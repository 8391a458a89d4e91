#include "console/BitmapFile.h"

#include <limits>

#include "console/ByteWriter.h"

namespace zorvi {
namespace {

constexpr std::uint16_t BITMAP_FILE_TYPE = 0x4D42;  // "BM"
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
constexpr std::uint32_t BI_RGB = 0;

}  // namespace

std::uint16_t bitsPerPixelForDisplay(int colourDepth) {
  if (colourDepth <= 1) {
    return 1;
  }
  if (colourDepth <= 4) {
    return 4;
  }
  if (colourDepth <= 8) {
    return 8;
  }
  return 24;
}

std::optional<BitmapLayout> bitmapLayout(std::int32_t width, std::int32_t height, int colourDepth) {
  if (width <= 0 || height <= 0) {
    return std::nullopt;
  }
  BitmapLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitsPerPixel = bitsPerPixelForDisplay(colourDepth);
  layout.paletteEntries = layout.bitsPerPixel <= 8 ? 1u << layout.bitsPerPixel : 0;
  // Sizes in 64 bits first: a huge area must be refused, not wrapped round.
  const std::uint64_t rowBytes = (std::uint64_t{layout.bitsPerPixel} * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
  const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
  if (pixelBytes + layout.pixelOffset() > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  layout.rowBytes = static_cast<std::uint32_t>(rowBytes);
  layout.pixelBytes = static_cast<std::uint32_t>(pixelBytes);
  return layout;
}

std::vector<std::uint8_t> bitmapHeaders(const BitmapLayout& layout) {
  ByteWriter out;
  out.reserve(BITMAP_HEADERS_SIZE);
  out.u16(BITMAP_FILE_TYPE);
  out.u32(layout.fileSize());
  out.u16(0);
  out.u16(0);
  out.u32(layout.pixelOffset());

  out.u32(INFO_HEADER_SIZE);
  out.i32(layout.width);
  out.i32(layout.height);  // positive: rows are stored bottom-up
  out.u16(1);              // planes
  out.u16(layout.bitsPerPixel);
  out.u32(BI_RGB);
  out.u32(0);  // image size, optional for BI_RGB
  out.i32(0);  // horizontal resolution
  out.i32(0);  // vertical resolution
  out.u32(0);  // colours used: all that the bit depth allows
  out.u32(0);  // important colours: all
  return out.take();
}

bool writeBitmapFile(ByteSink& sink, const BitmapLayout& layout, std::span<const std::uint8_t> palette,
                     std::span<const std::uint8_t> pixels) {
  if (palette.size() != layout.paletteBytes() || pixels.size() != layout.pixelBytes) {
    return false;
  }
  std::vector<std::uint8_t> head = bitmapHeaders(layout);
  head.insert(head.end(), palette.begin(), palette.end());
  return sink.write(head) && sink.write(pixels);
}

}  // namespace zorvi
