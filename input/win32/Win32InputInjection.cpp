#include "input/win32/Win32InputInjection.h"

#include <windows.h>

#include "input/win32/DisplayQuery.h"

namespace zorvi {
namespace {

DWORD mouseButtonFlag(MouseButton button, bool press) {
  switch (button) {
    case MouseButton::Left: return press ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case MouseButton::Right: return press ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case MouseButton::Middle: return press ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  }
  return 0;
}

}  // namespace

DisplayMode Win32InputInjection::queryDisplayMode() { return zorvi::queryDisplayMode(); }

void Win32InputInjection::setCursorPos(ScreenPoint position) { SetCursorPos(position.x, position.y); }

void Win32InputInjection::keyAction(std::uint32_t virtualKey, bool press) {
  // Key codes of the table all fit a byte; anything else is not a key keybd_event can send.
  if (virtualKey > 0xFF) {
    return;
  }
  keybd_event(static_cast<BYTE>(virtualKey), 0, press ? 0 : KEYEVENTF_KEYUP, 0);
}

void Win32InputInjection::mouseButton(MouseButton button, bool press) {
  mouse_event(mouseButtonFlag(button, press), 0, 0, 0, 0);
}

}  // namespace zorvi
