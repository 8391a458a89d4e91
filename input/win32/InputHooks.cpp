#include "input/win32/InputHooks.h"

#include <cstdint>

namespace zorvi {
namespace {

// A hook procedure receives no context pointer of ours, so the capture it feeds has to be reached
// through a static one. Set and cleared on the GUI thread, which is also where the hooks are called.
InputCapture* hookedCapture = nullptr;

// Both hooks feed the same onHookEvent; each trampoline knows which structure its lParam points to,
// so a mouse structure is never read as a keyboard one. The event is always passed on.
LRESULT CALLBACK mouseHookProcedure(int code, WPARAM wParam, LPARAM lParam) {
  if (hookedCapture != nullptr) {
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    hookedCapture->onHookEvent(
        HookEvent{static_cast<std::uint32_t>(wParam), 0, ScreenPoint{mouse->pt.x, mouse->pt.y}});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK keyboardHookProcedure(int code, WPARAM wParam, LPARAM lParam) {
  if (hookedCapture != nullptr) {
    const auto* keyboard = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    hookedCapture->onHookEvent(HookEvent{static_cast<std::uint32_t>(wParam), keyboard->vkCode});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

InputHooks::~InputHooks() { removeHooks(); }

void InputHooks::installHooks(InputCapture& capture) {
  removeHooks();
  hookedCapture = &capture;
  HINSTANCE executable = GetModuleHandleA(nullptr);
  mouseHook_ = SetWindowsHookExA(WH_MOUSE_LL, &mouseHookProcedure, executable, 0);
  keyboardHook_ = SetWindowsHookExA(WH_KEYBOARD_LL, &keyboardHookProcedure, executable, 0);
}

void InputHooks::removeHooks() {
  if (keyboardHook_ != nullptr) {
    UnhookWindowsHookEx(keyboardHook_);
    keyboardHook_ = nullptr;
  }
  if (mouseHook_ != nullptr) {
    UnhookWindowsHookEx(mouseHook_);
    mouseHook_ = nullptr;
  }
  hookedCapture = nullptr;
}

}  // namespace zorvi
