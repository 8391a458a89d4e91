#pragma once
// The broadcast as first described, kept only to measure against: every event starts its own
// thread, which walks the ticked rows and sends to each with a wait of 1000 seconds. Threads are not
// ordered among themselves. The destructor waits for the threads still running.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "input/BroadcastPorts.h"
#include "input/CapturePorts.h"
#include "protocol/MessageCodec.h"
#include "session/LanServer.h"

namespace zorvi::bench {

class ThreadPerEventBroadcast final : public Broadcaster {
 public:
  ThreadPerEventBroadcast(BroadcastTargets& targets, LanServer& server) : targets_(targets), server_(server) {}
  ~ThreadPerEventBroadcast() override {
    while (running_->load() != 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  void broadcast(InputEvent event) override {
    auto stop = std::make_shared<std::atomic<bool>>(false);
    latestStop_ = stop;
    running_->fetch_add(1);
    std::thread([this, event = std::move(event), stop, running = running_] {
      for (const std::string& clientId : targets_.tickedClientIds()) {
        if (stop->load()) {
          break;
        }
        server_.send(clientId, MessageCodec::wrap(inputBody(event)), 1000);
      }
      running->fetch_sub(1);
    }).detach();
  }

  void stopCurrentPass() override {
    if (latestStop_) {
      latestStop_->store(true);
    }
  }

 private:
  BroadcastTargets& targets_;
  LanServer& server_;
  std::shared_ptr<std::atomic<bool>> latestStop_;
  std::shared_ptr<std::atomic<int>> running_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace zorvi::bench
