#pragma once
// The GUI-thread hand-off on Windows: tasks wait in a queue and the main window is woken with a
// posted private message, whose handling runs them. Because the message goes through the window's
// queue, the message loop and every wait that pumps messages (message boxes, dialogs, the
// program's own timed waits) run the endpoints' events, nested inside the handlers that wait.
//
// The window procedure must call runPending() when it receives message().

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

#include "session/GuiThread.h"

namespace zorvi {

class WindowGuiQueue final : public GuiThread {
 public:
  static constexpr UINT DEFAULT_MESSAGE = WM_APP + 0x0E0;

  // `window` belongs to the GUI thread and must outlive the queue's use.
  explicit WindowGuiQueue(HWND window, UINT message = DEFAULT_MESSAGE);

  // Any thread. At most one wake-up message is outstanding, however many tasks wait, so a burst of
  // network events cannot fill the thread's message queue.
  void post(std::function<void()> task) override;

  // GUI thread, from the window procedure. Runs the queued tasks one at a time, in order; a task
  // that pumps messages runs the later ones inside itself, still in order.
  void runPending();

  UINT message() const { return message_; }

 private:
  void wakeWindowLocked();

  const HWND window_;
  const UINT message_;
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  bool wakePosted_ = false;
};

}  // namespace zorvi
