#pragma once
// The hand-off to the GUI thread. Every network event reaches the program's logic through it, so
// that no two handlers ever run at once; a handler may still run nested inside another one that
// pumps the GUI thread's queue while it waits.

#include <functional>

namespace zorvi {

class GuiThread {
 public:
  virtual ~GuiThread() = default;

  // Any thread, never blocks. The task runs later on the GUI thread; tasks run in posting order.
  virtual void post(std::function<void()> task) = 0;
};

}  // namespace zorvi
