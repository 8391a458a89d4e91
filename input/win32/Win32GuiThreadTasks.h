#pragma once
// The GUI thread's services for the capture: tasks queued to run after the current hook call, and
// the message-pumping workerWait. Tasks travel as messages to a message-only window, so the main
// loop, every message-pumping wait and modal loops (message boxes, dialogs) all run them.
// Create, use and destroy it on the GUI thread.

#include <windows.h>

#include <deque>
#include <functional>

#include "input/CapturePorts.h"

namespace zorvi {

class Win32GuiThreadTasks final : public GuiThreadTasks {
 public:
  Win32GuiThreadTasks();
  ~Win32GuiThreadTasks() override;

  Win32GuiThreadTasks(const Win32GuiThreadTasks&) = delete;
  Win32GuiThreadTasks& operator=(const Win32GuiThreadTasks&) = delete;

  // False when the window could not be created or the message cannot be posted.
  bool post(std::function<void()> task) override;
  void workerWait(unsigned milliseconds) override;

 private:
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void runNextTask();

  HWND window_ = nullptr;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace zorvi
