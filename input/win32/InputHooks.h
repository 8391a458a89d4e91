#pragma once
// The two low-level hooks of the desktop, feeding one InputCapture. Owned by the main window on the
// GUI thread, which must keep dispatching messages: the system calls the hooks on that thread.

#include <windows.h>

#include "input/InputCapture.h"

namespace zorvi {

class InputHooks {
 public:
  InputHooks() = default;
  // Removes whatever is still installed.
  ~InputHooks();

  InputHooks(const InputHooks&) = delete;
  InputHooks& operator=(const InputHooks&) = delete;

  // Installs the mouse hook, then the keyboard hook (module of the executable, all threads of the
  // desktop). A hook that cannot be installed is left out silently: that device is then not seen.
  // One capture per process; installing again first removes the previous hooks. `capture` must
  // outlive the hooks.
  void installHooks(InputCapture& capture);
  // Removes the keyboard hook, then the mouse hook. Harmless when nothing is installed.
  void removeHooks();

  bool mouseHooked() const { return mouseHook_ != nullptr; }
  bool keyboardHooked() const { return keyboardHook_ != nullptr; }

 private:
  HHOOK mouseHook_ = nullptr;
  HHOOK keyboardHook_ = nullptr;
};

}  // namespace zorvi
