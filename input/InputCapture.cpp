#include "input/InputCapture.h"

#include "input/KeyNameTable.h"

namespace zorvi {
namespace {

// Message ids of the low-level hooks (Win32 names).
constexpr std::uint32_t WM_KEYDOWN_ID = 0x100;
constexpr std::uint32_t WM_KEYUP_ID = 0x101;
constexpr std::uint32_t WM_SYSKEYDOWN_ID = 0x104;
constexpr std::uint32_t WM_SYSKEYUP_ID = 0x105;
constexpr std::uint32_t WM_MOUSEMOVE_ID = 0x200;
constexpr std::uint32_t WM_LBUTTONDOWN_ID = 0x201;
constexpr std::uint32_t WM_LBUTTONUP_ID = 0x202;
constexpr std::uint32_t WM_RBUTTONDOWN_ID = 0x204;
constexpr std::uint32_t WM_RBUTTONUP_ID = 0x205;
constexpr std::uint32_t WM_MBUTTONDOWN_ID = 0x207;
constexpr std::uint32_t WM_MBUTTONUP_ID = 0x208;

constexpr std::uint32_t VK_LMENU_CODE = 164;
constexpr std::uint32_t VK_RMENU_CODE = 165;
// F10 is a system key: Windows reports it as WM_SYSKEYDOWN and WM_SYSKEYUP, never as WM_KEYDOWN.
constexpr std::uint32_t VK_F10_CODE = 121;

// The key-state text of a mouse-button message, or empty for any other mouse message.
std::string_view mouseButtonText(std::uint32_t messageId) {
  switch (messageId) {
    case WM_LBUTTONDOWN_ID: return TEXT_MOUSE_LEFT_DOWN;
    case WM_LBUTTONUP_ID: return TEXT_MOUSE_LEFT_UP;
    case WM_RBUTTONDOWN_ID: return TEXT_MOUSE_RIGHT_DOWN;
    case WM_RBUTTONUP_ID: return TEXT_MOUSE_RIGHT_UP;
    case WM_MBUTTONDOWN_ID: return TEXT_MOUSE_MIDDLE_DOWN;
    case WM_MBUTTONUP_ID: return TEXT_MOUSE_MIDDLE_UP;
    default: return {};
  }
}

}  // namespace

float pointerFraction(int position, int extent) {
  if (extent == 0) {
    return 0.0f;
  }
  return static_cast<float>(position) / static_cast<float>(extent);
}

InputCapture::InputCapture(InputCapturePorts ports) : ports_(ports) {}

void InputCapture::onHookEvent(const HookEvent& event) {
  classify(event);
  if (controlOn_) {
    broadcastCurrentEvent(event);
  }
  if (lastKeyState_ == TEXT_HOT_KEY_SCREENSHOT) {
    triggerHotKeyShot();
  }
  if (lastKeyState_ == TEXT_HOT_KEY_RELEASE) {
    releaseControl();
  }
  ports_.view.showKeyState(lastKeyState_);
}

void InputCapture::startControl() {
  controlOn_ = true;
  ports_.view.setButtonEnabled(ControlButton::ReleaseControl, true);
  ports_.view.setButtonEnabled(ControlButton::TakeControl, false);
  ports_.view.setButtonEnabled(ControlButton::ExportToExcel, false);
}

void InputCapture::releaseControl() {
  controlOn_ = false;
  ports_.view.setButtonEnabled(ControlButton::TakeControl, true);
  ports_.view.setButtonEnabled(ControlButton::ExportToExcel, true);
  ports_.view.setButtonEnabled(ControlButton::ReleaseControl, false);
  ports_.broadcaster.stopCurrentPass();
}

void InputCapture::classify(const HookEvent& event) {
  if (event.messageId > WM_MOUSEMOVE_ID) {
    const std::string_view text = mouseButtonText(event.messageId);
    if (!text.empty()) {
      lastKeyState_ = text;
    }
    return;
  }
  switch (event.messageId) {
    case WM_KEYDOWN_ID:
      lastKeyState_ = KeyNameTable::keyStateText(event.virtualKey, true);
      break;
    case WM_KEYUP_ID:
      lastKeyState_ = KeyNameTable::keyStateText(event.virtualKey, false);
      break;
    case WM_SYSKEYDOWN_ID:
      // Alt itself and F10; other keys pressed while Alt is held keep the previous text. Without
      // F10 here its hot key could never fire.
      if (event.virtualKey == VK_LMENU_CODE || event.virtualKey == VK_RMENU_CODE ||
          event.virtualKey == VK_F10_CODE) {
        lastKeyState_ = KeyNameTable::keyStateText(event.virtualKey, true);
      }
      break;
    case WM_SYSKEYUP_ID:
      // F10's release ends its hot key; otherwise every later event would release control again.
      if (event.virtualKey == VK_F10_CODE) {
        lastKeyState_ = KeyNameTable::keyStateText(event.virtualKey, false);
      }
      break;
    default:
      break;
  }
}

void InputCapture::broadcastCurrentEvent(const HookEvent& event) {
  // Queried afresh for every event, so a change of resolution takes effect at once.
  const DisplayMode mode = ports_.screen.queryDisplayMode();
  // A mouse event brings the position it moved to; the system cursor would still show the old one
  // and the machines would trail one event behind.
  const ScreenPoint pointer = event.pointer ? *event.pointer : ports_.screen.cursorPosition();
  ports_.broadcaster.broadcast(
      InputEvent{pointerFraction(pointer.x, mode.width), pointerFraction(pointer.y, mode.height), lastKeyState_});
}

void InputCapture::triggerHotKeyShot() {
  ports_.screenshot.armCounter();
  // The wait must not happen inside the hook call: a low-level hook that takes longer than the
  // system's hook timeout (at most a second) is silently removed. One queued shot at a time keeps
  // the waits from nesting without bound while F9 is held and the pointer moves; a trigger during
  // it re-arms the counter and starts the delay again, so the one picture is taken a second after
  // the last trigger.
  hotKeyWaitSlicesLeft_ = HOT_KEY_SHOT_DELAY_MS / HOT_KEY_WAIT_SLICE_MS;
  if (hotKeyShotQueued_) {
    return;
  }
  hotKeyShotQueued_ = ports_.gui.post([this] {
    while (hotKeyWaitSlicesLeft_ > 0) {
      --hotKeyWaitSlicesLeft_;
      ports_.gui.workerWait(HOT_KEY_WAIT_SLICE_MS);
    }
    hotKeyShotQueued_ = false;
    ports_.screenshot.shoot();
  });
}

}  // namespace zorvi
