#pragma once
// Ownership of the GDI objects a screen capture uses: each is released when its holder goes, and
// a selection into a device context is undone the same way.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace zorvi {

struct DeleteDcOnExit {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDcOnExit>;

struct DeleteObjectOnExit {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteObjectOnExit>;

class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A palette selected into a device context and realised there; the previous one comes back.
class RealizedPalette {
 public:
  RealizedPalette(HDC dc, HPALETTE palette) : dc_(dc), previous_(SelectPalette(dc, palette, FALSE)) {
    RealizePalette(dc);
  }
  ~RealizedPalette() { SelectPalette(dc_, previous_, FALSE); }
  RealizedPalette(const RealizedPalette&) = delete;
  RealizedPalette& operator=(const RealizedPalette&) = delete;

 private:
  HDC dc_;
  HPALETTE previous_;
};

}  // namespace zorvi
