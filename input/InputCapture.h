#pragma once
// The controller's half of keyboard-and-mouse synchronisation. Every low-level hook event updates
// the key-state text and the status label; while control is on it is also handed to the
// broadcaster with the pointer position as fractions of the display. F9 takes a screenshot a second
// later and F10 releases control, on every instance. Everything here runs on the GUI thread; the
// hook adapter (win32/InputHooks.h) turns hook calls into HookEvent values and always passes the
// event on afterwards.

#include <cstdint>
#include <optional>
#include <string>

#include "input/CapturePorts.h"

namespace zorvi {

// One call of either low-level hook: its message id (the hook's wParam) and, for keyboard
// messages, the virtual-key code. Mouse events carry virtual key 0 and the pointer position of the
// event itself: inside the hook call the system cursor has not moved yet.
struct HookEvent {
  HookEvent(std::uint32_t message, std::uint32_t key, std::optional<ScreenPoint> position = std::nullopt)
      : messageId(message), virtualKey(key), pointer(position) {}

  std::uint32_t messageId;
  std::uint32_t virtualKey;
  std::optional<ScreenPoint> pointer;
};

// The texts that trigger the hot keys.
inline constexpr std::string_view TEXT_HOT_KEY_SCREENSHOT = "键盘 F9键   按下";
inline constexpr std::string_view TEXT_HOT_KEY_RELEASE = "键盘 F10键   按下";

// The hot-key shot comes this long after the last trigger, waited in slices so that a trigger
// during the wait can start it again.
inline constexpr unsigned HOT_KEY_SHOT_DELAY_MS = 1000;
inline constexpr unsigned HOT_KEY_WAIT_SLICE_MS = 100;

// `position` over `extent` in single precision. An extent of 0 (display mode unreadable) gives 0,
// so the event still travels and replays at the edge instead of sending inf or nan.
float pointerFraction(int position, int extent);

struct InputCapturePorts {
  ScreenQuery& screen;
  CaptureView& view;
  HotKeyScreenshot& screenshot;
  GuiThreadTasks& gui;
  Broadcaster& broadcaster;
};

class InputCapture {
 public:
  explicit InputCapture(InputCapturePorts ports);

  // The hook procedure's work for one event. Returns promptly: no waiting happens inside a hook
  // call (the F9 wait runs from the GUI thread's queue afterwards).
  void onHookEvent(const HookEvent& event);

  // Handler of "键鼠控制".
  void startControl();
  // Handler of "解除控制" and of F10; sets the released button states even when control was off.
  void releaseControl();

  bool controlOn() const { return controlOn_; }
  const std::string& lastKeyState() const { return lastKeyState_; }

 private:
  void classify(const HookEvent& event);
  void broadcastCurrentEvent(const HookEvent& event);
  void triggerHotKeyShot();

  InputCapturePorts ports_;
  bool controlOn_ = false;
  std::string lastKeyState_;
  bool hotKeyShotQueued_ = false;
  unsigned hotKeyWaitSlicesLeft_ = 0;
};

}  // namespace zorvi
