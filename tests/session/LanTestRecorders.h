#pragma once
// Endpoint event handlers that write down what they see. They run on the GUI thread (the test
// thread pumping its queue), so they need no locking.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "session/LanClient.h"
#include "session/LanDatagram.h"
#include "session/LanServer.h"
#include "session/PumpedGuiQueue.h"

namespace zorvi::lantest {

class RecordingServerEvents final : public LanServerEvents {
 public:
  void clientEntered(const ClientId& client) override { log.push_back("entered " + client); }
  void dataArrived(const ClientId& client, const std::string& bytes) override {
    const std::string entry = "data " + client;
    if (log.empty() || log.back() != entry) {  // one entry per run of reads: TCP may split freely
      log.push_back(entry);
    }
    received[client] += bytes;
  }
  void clientLeft(const ClientId& client) override { log.push_back("left " + client); }

  std::vector<std::string> log;
  std::map<ClientId, std::string> received;
};

class RecordingClientEvents final : public LanClientEvents {
 public:
  void connectFinished(bool connected) override { connectResults.push_back(connected); }
  void dataArrived(const std::string& bytes) override { received += bytes; }
  void connectionClosed() override { ++closes; }

  std::vector<bool> connectResults;
  std::string received;
  int closes = 0;
};

class RecordingDatagramEvents final : public LanDatagramEvents {
 public:
  void datagramArrived(const std::string& bytes) override { datagrams.push_back(bytes); }

  std::vector<std::string> datagrams;
};

// A pumped GUI queue whose test can wait, without running anything, until events have been
// handed over: to show that events already queued are dropped when their endpoint closes.
class WatchedGuiQueue final : public GuiThread {
 public:
  void post(std::function<void()> task) override {
    queue.post(std::move(task));
    {
      const std::lock_guard lock(mutex_);
      ++posted_;
    }
    postedMore_.notify_all();
  }

  bool waitForPosts(std::size_t count, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return postedMore_.wait_for(lock, limit, [&] { return posted_ >= count; });
  }

  PumpedGuiQueue queue;

 private:
  std::mutex mutex_;
  std::condition_variable postedMore_;
  std::size_t posted_ = 0;
};

}  // namespace zorvi::lantest
