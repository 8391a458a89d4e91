#pragma once
// The UDP endpoint: bound to one port on all local IPv4 addresses, with broadcast sends allowed so
// subnet broadcasts leave the machine. Receiving runs on the network thread; each datagram arrives
// as an event on the GUI thread. Receiving pauses while the GUI thread has READ_BACKLOG_LIMIT bytes
// of datagrams still to handle; the system drops what arrives meanwhile beyond its own buffer.
// Create, open, close and destroy it on the GUI thread.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "session/LanTypes.h"

namespace zorvi {

class GuiThread;
class NetworkService;

// Called on the GUI thread, in order of arrival, one at a time.
class LanDatagramEvents {
 public:
  virtual ~LanDatagramEvents() = default;
  // One datagram of at least one byte, exactly as received. The sender is not reported.
  virtual void datagramArrived(const std::string& bytes) = 0;
};

class LanDatagram {
 public:
  // `network`, `gui` and `events` must outlive the endpoint.
  LanDatagram(NetworkService& network, GuiThread& gui, LanDatagramEvents& events);
  ~LanDatagram();  // closes

  LanDatagram(const LanDatagram&) = delete;
  LanDatagram& operator=(const LanDatagram&) = delete;

  // Binds `port` (0: any free port) without address reuse, so while another instance holds the
  // port this one stays closed and false is returned; nothing is shown. Opening an open endpoint
  // changes nothing.
  bool open(std::uint16_t port = PORT_LAN);

  // Stops receiving and closes the socket. No event follows, not even ones already queued.
  void close();

  bool isOpen() const { return port_ != 0; }
  // The bound port; 0 while closed.
  std::uint16_t port() const { return port_; }

  // Any thread except the network thread; blocks while a host name is looked up. Sends `text` as
  // one datagram to `address` (dotted IPv4 text, else a host name) and `port`. False when closed,
  // when the name does not resolve or when the system refuses the datagram.
  bool send(const std::string& address, std::uint16_t port, std::string_view text);

 private:
  struct Bound;

  NetworkService& network_;
  GuiThread& gui_;
  LanDatagramEvents& events_;
  std::uint16_t port_ = 0;
  mutable std::mutex boundMutex_;  // send reads bound_ from any thread
  std::shared_ptr<Bound> bound_;
};

}  // namespace zorvi
