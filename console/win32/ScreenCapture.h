#pragma once
// The primary screen into a bitmap file through GDI: the desktop window's rectangle clipped to the
// display's resolution, copied from the display device, read back with GetDIBits in the file's
// format and written by the portable encoder. Runs on the calling thread, synchronously.

#include <string>

#include "console/Screenshots.h"

namespace zorvi {

// Writes the capture to `path` (GBK), created anew and replacing any file of that name. False,
// with no file left, when the rectangle is empty, the screen cannot be read, or the file cannot
// be created or written whole.
bool captureScreenToFile(const std::string& path);

class GdiScreenCapture final : public ScreenCapture {
 public:
  bool captureScreenToFile(const std::string& path) override { return zorvi::captureScreenToFile(path); }
};

}  // namespace zorvi
