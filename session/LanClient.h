#pragma once
// The TCP connecting endpoint: at most one outgoing connection. Connecting never blocks the
// caller: the network thread resolves and connects, within CONNECT_BOUND, and the result arrives
// as an event. Create, connect, disconnect and destroy it on the GUI thread.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "session/LanTypes.h"

namespace zorvi {

class GuiThread;
class NetworkService;

// Called on the GUI thread, in order of arrival, one at a time (possibly nested inside a handler
// that pumps the GUI thread while it waits). Only the latest connect reports.
class LanClientEvents {
 public:
  virtual ~LanClientEvents() = default;
  // The latest connect ended: connected, or refused, unreachable, not resolved or out of time.
  virtual void connectFinished(bool connected) = 0;
  // Bytes exactly as read; message boundaries are not kept.
  virtual void dataArrived(const std::string& bytes) = 0;
  // The peer closed the connection (or it failed). Not raised by disconnect or a new connect.
  virtual void connectionClosed() = 0;
};

class LanClient {
 public:
  static constexpr std::chrono::milliseconds CONNECT_BOUND{3000};

  // `network`, `gui` and `events` must outlive the client. Tests may shorten the connect bound.
  LanClient(NetworkService& network, GuiThread& gui, LanClientEvents& events,
            std::chrono::milliseconds connectBound = CONNECT_BOUND);
  ~LanClient();  // disconnects

  LanClient(const LanClient&) = delete;
  LanClient& operator=(const LanClient&) = delete;

  // Drops any connection or pending connect (without an event for it) and starts connecting to
  // `host` (dotted IPv4 text or a host name) on `port`. Returns at once; connectFinished follows.
  void connect(const std::string& host, std::uint16_t port = PORT_LAN);

  // Any thread except the network thread. Queues `text` whole, as LanServer::send does. False
  // when not connected (before connectFinished(true), after the close or disconnect).
  bool send(std::string_view text, std::optional<int> waitSeconds = {});

  // Closes the connection or abandons the pending connect. No event follows; the peer sees the
  // close. Harmless when idle.
  void disconnect();

 private:
  struct Attempt;

  NetworkService& network_;
  GuiThread& gui_;
  LanClientEvents& events_;
  const std::chrono::milliseconds connectBound_;
  mutable std::mutex attemptMutex_;  // send reads attempt_ from any thread
  std::shared_ptr<Attempt> attempt_;
};

}  // namespace zorvi
