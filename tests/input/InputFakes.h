#pragma once
// Test doubles that behave like the system and the program around the input subsystem: a desktop
// that keeps its pointer and key state and reports injected input back to the hooks, a main window
// that remembers its label and buttons, a screenshot counter that works like the real one, and a
// GUI thread whose queued tasks run when the test says so.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "input/CapturePorts.h"
#include "input/InputCapture.h"
#include "input/InputInjection.h"

namespace zorvi::fakes {

// One machine's screen, pointer and keys. Injected key and button events reach the attached
// capture as hook events, as the low-level hooks see injected input on Windows.
class FakeDesktop final : public ScreenQuery, public InputInjection {
 public:
  FakeDesktop(int width, int height) { setResolution(width, height); }

  void setResolution(int width, int height) {
    mode_ = DisplayMode{32, static_cast<std::int16_t>(width), static_cast<std::int16_t>(height), 60};
  }
  void setUnreadableMode() { mode_ = DisplayMode{}; }
  void attachHooks(InputCapture* capture) { hooks_ = capture; }
  // Physical pointer motion: moves and tells the hooks.
  void movePointer(ScreenPoint to) {
    pointer_ = to;
    hook(0x200, 0);
  }

  DisplayMode queryDisplayMode() override { return mode_; }
  ScreenPoint cursorPosition() override { return pointer_; }

  void setCursorPos(ScreenPoint position) override {
    calls.push_back("cursor " + std::to_string(position.x) + "," + std::to_string(position.y));
    // The system keeps the pointer on the screen.
    pointer_.x = std::clamp(position.x, 0, std::max(0, mode_.width - 1));
    pointer_.y = std::clamp(position.y, 0, std::max(0, mode_.height - 1));
  }

  void keyAction(std::uint32_t virtualKey, bool press) override {
    calls.push_back("key " + std::to_string(virtualKey) + (press ? " down" : " up"));
    const bool altHeld = altDown(virtualKey);
    if (press) {
      ++keyPresses[virtualKey];
      keysDown.insert(virtualKey);
      hook(altHeld || isAlt(virtualKey) ? 0x104 : 0x100, virtualKey);
    } else {
      keysDown.erase(virtualKey);
      hook(altHeld ? 0x105 : 0x101, virtualKey);
    }
  }

  void mouseButton(MouseButton button, bool press) override {
    static const char* const names[] = {"left", "right", "middle"};
    const int index = static_cast<int>(button);
    calls.push_back(std::string("mouse ") + names[index] + (press ? " down" : " up"));
    if (press) {
      buttonsDown.insert(button);
    } else {
      buttonsDown.erase(button);
    }
    hook(static_cast<std::uint32_t>(0x201 + 3 * index + (press ? 0 : 1)), 0);
  }

  std::vector<std::string> calls;  // every injection, in order
  std::map<std::uint32_t, int> keyPresses;
  std::set<std::uint32_t> keysDown;
  std::set<MouseButton> buttonsDown;

 private:
  static bool isAlt(std::uint32_t key) { return key == 18 || key == 164 || key == 165; }
  bool altDown(std::uint32_t except) const {
    return std::any_of(keysDown.begin(), keysDown.end(), [except](std::uint32_t k) { return k != except && isAlt(k); });
  }
  void hook(std::uint32_t messageId, std::uint32_t virtualKey) {
    if (hooks_ != nullptr) {
      // Mouse events carry the position they moved to, as the mouse hook structure does.
      hooks_->onHookEvent(HookEvent{messageId, virtualKey,
                                    messageId >= 0x200 ? std::optional<ScreenPoint>(pointer_) : std::nullopt});
    }
  }

  DisplayMode mode_;
  ScreenPoint pointer_;
  InputCapture* hooks_ = nullptr;
};

// The main window's status label and buttons.
class RecordingView final : public CaptureView {
 public:
  void showKeyState(std::string_view keyState) override { label = keyState; ++labelUpdates; }
  void setButtonEnabled(ControlButton button, bool enabled) override { buttons[button] = enabled; }

  std::string label;
  int labelUpdates = 0;
  std::map<ControlButton, bool> buttons;
};

// Works like the screenshot component: a picture only for a call that finds the counter armed.
class FakeScreenshot final : public HotKeyScreenshot {
 public:
  explicit FakeScreenshot(std::vector<std::string>* log = nullptr) : log_(log) {}
  void armCounter() override {
    counter = 9;
    note("arm");
  }
  void shoot() override {
    if (counter == 9) {
      ++pictures;
    }
    ++counter;
    note("shoot");
  }
  int counter = 0;
  int pictures = 0;

 private:
  void note(const char* what) {
    if (log_ != nullptr) {
      log_->push_back(what);
    }
  }
  std::vector<std::string>* log_;
};

// Queued tasks wait until runQueued(); waits are recorded, not slept.
class FakeGuiThreadTasks final : public GuiThreadTasks {
 public:
  explicit FakeGuiThreadTasks(std::vector<std::string>* log = nullptr) : log_(log) {}
  bool post(std::function<void()> task) override {
    if (!acceptPosts) {
      return false;
    }
    queued.push_back(std::move(task));
    return true;
  }
  void workerWait(unsigned milliseconds) override {
    waits.push_back(milliseconds);
    if (log_ != nullptr) {
      log_->push_back("wait " + std::to_string(milliseconds));
    }
    if (duringWait) {
      duringWait(waits.size());  // what the thread dispatches while it waits
    }
  }
  void runQueued() {
    std::vector<std::function<void()>> now;
    now.swap(queued);
    for (auto& task : now) {
      task();
    }
  }
  bool acceptPosts = true;
  std::function<void(std::size_t waitsSoFar)> duringWait;
  std::vector<std::function<void()>> queued;
  std::vector<unsigned> waits;

 private:
  std::vector<std::string>* log_;
};

// Remembers what the capture handed over.
class RecordingBroadcaster final : public Broadcaster {
 public:
  explicit RecordingBroadcaster(std::vector<std::string>* log = nullptr) : log_(log) {}
  void broadcast(InputEvent event) override {
    events.push_back(std::move(event));
    if (log_ != nullptr) {
      log_->push_back("broadcast " + events.back().keyState);
    }
  }
  void stopCurrentPass() override {
    ++stops;
    if (log_ != nullptr) {
      log_->push_back("stop");
    }
  }
  std::vector<InputEvent> events;
  int stops = 0;

 private:
  std::vector<std::string>* log_;
};

// One machine's capture with all its surroundings faked.
struct CaptureRig {
  explicit CaptureRig(int width = 1920, int height = 1080)
      : desktop(width, height), screenshot(&log), gui(&log), broadcaster(&log),
        capture(InputCapturePorts{desktop, view, screenshot, gui, broadcaster}) {
    desktop.attachHooks(&capture);
  }
  std::vector<std::string> log;
  FakeDesktop desktop;
  RecordingView view;
  FakeScreenshot screenshot;
  FakeGuiThreadTasks gui;
  RecordingBroadcaster broadcaster;
  InputCapture capture;
};

}  // namespace zorvi::fakes
