#include "input/InputBroadcast.h"

#include <string>
#include <utility>
#include <vector>

#include "input/ThreadPriority.h"
#include "protocol/MessageCodec.h"

namespace zorvi {

InputBroadcast::InputBroadcast(BroadcastTargets& targets, InputSender& sender, std::size_t queueCapacity)
    : targets_(targets), sender_(sender), queueCapacity_(queueCapacity), thread_([this] { run(); }) {}

InputBroadcast::~InputBroadcast() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  closingNow_.store(true, std::memory_order_release);
  wake_.notify_one();
  thread_.join();
}

void InputBroadcast::broadcast(InputEvent event) {
  {
    std::lock_guard lock(mutex_);
    if (queue_.size() >= queueCapacity_) {
      return;
    }
    queue_.push_back(Pass{++lastSequence_, std::move(event)});
  }
  wake_.notify_one();
}

void InputBroadcast::stopCurrentPass() {
  std::lock_guard lock(mutex_);
  stoppedSequence_.store(lastSequence_, std::memory_order_release);
}

void InputBroadcast::run() {
  runBelowNormalPriority();
  for (;;) {
    Pass pass{};
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      if (closing_) {
        return;
      }
      pass = std::move(queue_.front());
      queue_.pop_front();
    }
    sendPass(pass);
  }
}

void InputBroadcast::sendPass(const Pass& pass) {
  const std::vector<std::string> clientIds = targets_.tickedClientIds();
  if (clientIds.empty()) {
    return;
  }
  // One envelope per event: every machine gets the same bytes, stamped when the pass began.
  const std::string message = MessageCodec::wrap(inputBody(pass.event));
  for (const std::string& clientId : clientIds) {
    if (passStopped(pass.sequence)) {
      return;
    }
    sender_.send(clientId, message);
  }
}

bool InputBroadcast::passStopped(std::uint64_t sequence) const {
  return stoppedSequence_.load(std::memory_order_acquire) == sequence || closingNow_.load(std::memory_order_acquire);
}

}  // namespace zorvi
