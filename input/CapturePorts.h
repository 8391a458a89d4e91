#pragma once
// What the capture logic needs from the operating system and from the rest of the program, each a
// small interface in the program's own terms. All of them are called on the GUI thread only, the
// thread that installed the hooks; none may wait on the network.

#include <functional>
#include <string_view>

#include "input/DisplayMode.h"
#include "protocol/Payloads.h"

namespace zorvi {

// The screen as the capture sees it.
class ScreenQuery {
 public:
  virtual ~ScreenQuery() = default;
  // The current display mode (all zeros when it cannot be read).
  virtual DisplayMode queryDisplayMode() = 0;
  // The system pointer position at this moment.
  virtual ScreenPoint cursorPosition() = 0;
};

// The three buttons the capture switches.
enum class ControlButton { TakeControl, ReleaseControl, ExportToExcel };  // "键鼠控制", "解除控制", "导出列表到Excel"

// The main window as the capture drives it.
class CaptureView {
 public:
  virtual ~CaptureView() = default;
  // Shows the key-state text in the status label "透明标签4". Called for every hook event, pointer
  // moves included, mostly with an unchanged text: keep it cheap (skipping an unchanged text is
  // fine).
  virtual void showKeyState(std::string_view keyState) = 0;
  virtual void setButtonEnabled(ControlButton button, bool enabled) = 0;
};

// The hot-key screenshot and its counter: a shot is taken only by the first call that finds the
// counter armed; every call counts it on.
class HotKeyScreenshot {
 public:
  virtual ~HotKeyScreenshot() = default;
  // Sets the counter to its armed value (9).
  virtual void armCounter() = 0;
  // The hot-key screenshot call.
  virtual void shoot() = 0;
};

// Services of the GUI thread itself.
class GuiThreadTasks {
 public:
  virtual ~GuiThreadTasks() = default;
  // Queues `task` to run on this thread once the current hook call has returned (from the message
  // loop or from any message-pumping wait). False, with nothing queued, when it cannot be queued.
  virtual bool post(std::function<void()> task) = 0;
  // Waits `milliseconds` while this thread's messages keep being dispatched (workerWait).
  virtual void workerWait(unsigned milliseconds) = 0;
};

// Takes each event that is to reach the ticked machines.
class Broadcaster {
 public:
  virtual ~Broadcaster() = default;
  // Hands the event over and returns at once, without any network work.
  virtual void broadcast(InputEvent event) = 0;
  // Ends the pass of the most recently handed event before its next send, so that the machines it
  // has not reached get nothing of it. Earlier events are not affected.
  virtual void stopCurrentPass() = 0;
};

}  // namespace zorvi
