#include "console/win32/ScreenCapture.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "console/BitmapFile.h"
#include "console/win32/FileWriting.h"
#include "console/win32/GdiHandles.h"

namespace zorvi {
namespace {

// BITMAPINFO with room for the largest palette (8 bits per pixel).
struct BitmapInfoWithPalette {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

struct CapturedPixels {
  BitmapLayout layout;
  std::vector<std::uint8_t> palette;
  std::vector<std::uint8_t> pixels;
};

// The desktop window's rectangle with left and top raised to 0 and right and bottom lowered to
// the display's resolution.
RECT capturedArea(RECT area, HDC screen) {
  area.left = std::max(area.left, LONG{0});
  area.top = std::max(area.top, LONG{0});
  area.right = std::min(area.right, static_cast<LONG>(GetDeviceCaps(screen, HORZRES)));
  area.bottom = std::min(area.bottom, static_cast<LONG>(GetDeviceCaps(screen, VERTRES)));
  return area;
}

std::optional<CapturedPixels> readScreen(HDC screen, const RECT& area) {
  const int colourDepth = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
  const auto layout = bitmapLayout(area.right - area.left, area.bottom - area.top, colourDepth);
  if (!layout) {
    return std::nullopt;
  }
  const UniqueDc memory(CreateCompatibleDC(screen));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(screen, layout->width, layout->height));
  if (!memory || !bitmap) {
    return std::nullopt;
  }
  {
    const SelectedObject selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, layout->width, layout->height, screen, area.left, area.top, SRCCOPY)) {
      return std::nullopt;
    }
  }  // GetDIBits wants the bitmap out of every device context

  BitmapInfoWithPalette info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = layout->width;
  info.header.biHeight = layout->height;  // positive: bottom-up rows, as the file stores them
  info.header.biPlanes = 1;
  info.header.biBitCount = layout->bitsPerPixel;
  info.header.biCompression = BI_RGB;
  CapturedPixels captured{*layout, {}, std::vector<std::uint8_t>(layout->pixelBytes)};
  {
    const RealizedPalette palette(screen, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
    const int lines = GetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(layout->height), captured.pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (lines != layout->height) {
      return std::nullopt;
    }
  }
  const auto* paletteBytes = reinterpret_cast<const std::uint8_t*>(info.colours);
  captured.palette.assign(paletteBytes, paletteBytes + layout->paletteBytes());
  return captured;
}

}  // namespace

bool captureScreenToFile(const std::string& path) {
  RECT desktop{};
  if (!GetWindowRect(GetDesktopWindow(), &desktop) || IsRectEmpty(&desktop)) {
    return false;
  }
  const UniqueDc screen(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  if (!screen) {
    return false;
  }
  const std::optional<CapturedPixels> captured = readScreen(screen.get(), capturedArea(desktop, screen.get()));
  if (!captured) {
    return false;
  }
  NewFile file(path, FileCreation::ReplaceExisting);
  if (!file.isOpen()) {
    return false;
  }
  if (!writeBitmapFile(file, captured->layout, captured->palette, captured->pixels)) {
    file.discard();
    return false;
  }
  return true;
}

}  // namespace zorvi
