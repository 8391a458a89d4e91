#pragma once
// Carries an endpoint's events from the network thread to the GUI thread, and lets the endpoint
// disown the ones still on their way. The endpoint closes its gate (on the GUI thread) when it
// closes, reconnects or is destroyed. From then on nothing more is posted to the GuiThread, and an
// event already queued is dropped when its turn comes, so a handler never sees a connection its
// endpoint has given up, nor runs for a destroyed endpoint.

#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "session/GuiThread.h"

namespace zorvi {

class EventGate : public std::enable_shared_from_this<EventGate> {
 public:
  explicit EventGate(GuiThread& gui) : gui_(gui) {}

  // Any thread: queues the event (a callable) on the GUI thread, in order with the other events.
  template <class Event>
  void deliver(Event event) {
    const std::lock_guard lock(mutex_);  // held while posting: close() waits for a post under way
    if (open_) {
      gui_.post([gate = shared_from_this(), event = std::move(event)] {
        if (gate->isOpen()) {
          event();
        }
      });
    }
  }

  // GUI thread.
  void close() {
    const std::lock_guard lock(mutex_);
    open_ = false;
  }

 private:
  bool isOpen() const {
    const std::lock_guard lock(mutex_);
    return open_;
  }

  GuiThread& gui_;
  mutable std::mutex mutex_;
  bool open_ = true;
};

}  // namespace zorvi
