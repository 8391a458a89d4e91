#pragma once
// Carries input events from the hook to the ticked machines. One long-lived sending thread takes
// the events in the order they were handed over and, for each, makes one pass over the ticked
// machines, queueing the enveloped Input message on each connection. So the hook never waits,
// every machine gets the events in the order they happened, and since queueing never waits a slow
// or gone machine never delays the others (its own connection queue absorbs it, up to its bound).
// The sending thread runs one step below normal priority, so that waking it never preempts the
// GUI thread inside a hook call.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "input/BroadcastPorts.h"
#include "input/CapturePorts.h"

namespace zorvi {

class InputBroadcast final : public Broadcaster {
 public:
  // Events waiting for the sending thread; only a thread starved for that long would drop any.
  static constexpr std::size_t DEFAULT_QUEUE_CAPACITY = 4096;

  // Starts the sending thread. `targets` and `sender` must outlive this object.
  InputBroadcast(BroadcastTargets& targets, InputSender& sender,
                 std::size_t queueCapacity = DEFAULT_QUEUE_CAPACITY);
  // Ends the pass in progress before its next send, drops the events still waiting and joins.
  ~InputBroadcast() override;

  InputBroadcast(const InputBroadcast&) = delete;
  InputBroadcast& operator=(const InputBroadcast&) = delete;

  // GUI thread. Queues the event and wakes the sending thread; never blocks on the network. When
  // the queue is full the event is dropped (the earlier ones keep their order).
  void broadcast(InputEvent event) override;
  // GUI thread. Stops the pass of the most recently queued event before its next send, whether
  // that pass has started or not.
  void stopCurrentPass() override;

 private:
  struct Pass {
    std::uint64_t sequence;
    InputEvent event;
  };

  void run();
  void sendPass(const Pass& pass);
  bool passStopped(std::uint64_t sequence) const;

  BroadcastTargets& targets_;
  InputSender& sender_;
  const std::size_t queueCapacity_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Pass> queue_;
  bool closing_ = false;
  std::uint64_t lastSequence_ = 0;

  std::atomic<std::uint64_t> stoppedSequence_{0};
  std::atomic<bool> closingNow_{false};
  std::thread thread_;  // last: started once everything above exists
};

}  // namespace zorvi
