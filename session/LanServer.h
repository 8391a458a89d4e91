#pragma once
// The TCP listening endpoint: accepts connections on all local IPv4 addresses and names each by
// its ClientId. Socket work runs on the network thread; events run on the GUI thread, in the order
// they happened. Create, open, close and destroy it on the GUI thread.

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
// that pumps the GUI thread while it waits).
class LanServerEvents {
 public:
  virtual ~LanServerEvents() = default;
  // The connection is in the table: send to `client` works from now on.
  virtual void clientEntered(const ClientId& client) = 0;
  // Bytes exactly as read; message boundaries are not kept.
  virtual void dataArrived(const ClientId& client, const std::string& bytes) = 0;
  // The peer closed (or the connection failed); `client` is already out of the table.
  virtual void clientLeft(const ClientId& client) = 0;
};

class LanServer {
 public:
  // `network`, `gui` and `events` must outlive the server.
  LanServer(NetworkService& network, GuiThread& gui, LanServerEvents& events);
  ~LanServer();  // closes

  LanServer(const LanServer&) = delete;
  LanServer& operator=(const LanServer&) = delete;

  // Binds `port` on all local IPv4 addresses and listens with the system's maximum backlog (port 0:
  // any free port). When the port is taken (another instance runs) the server stays closed and
  // false is returned; nothing is shown. Opening an open server changes nothing.
  bool open(std::uint16_t port = PORT_LAN);

  // Stops listening and closes every connection. No event follows, not even ones already queued.
  void close();

  bool isOpen() const { return port_ != 0; }
  // The bound port; 0 while closed.
  std::uint16_t port() const { return port_; }

  // Any thread except the network thread. Queues `text` whole on the connection named `client`
  // (see StreamConnection: bounded queue, optional wait for room in whole seconds). False, with
  // nothing written, when no open connection has that ClientId. Zero bytes to an open one: true.
  bool send(const ClientId& client, std::string_view text, std::optional<int> waitSeconds = {});

 private:
  struct Listening;

  NetworkService& network_;
  GuiThread& gui_;
  LanServerEvents& events_;
  std::uint16_t port_ = 0;
  mutable std::mutex listeningMutex_;  // send reads listening_ from any thread
  std::shared_ptr<Listening> listening_;
};

}  // namespace zorvi
