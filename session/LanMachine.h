#pragma once
// Everything one instance does on the network, in both roles: the three endpoints and the
// sessions built on them, with every endpoint event routed to the session that handles it. The
// main window owns one; tests run several in one process. GUI thread only.

#include <cstdint>

#include "session/ClientList.h"
#include "session/ControlledSession.h"
#include "session/ControllerSession.h"
#include "session/LanClient.h"
#include "session/LanDatagram.h"
#include "session/LanDiscovery.h"
#include "session/LanServer.h"
#include "session/LanTypes.h"
#include "session/SessionPorts.h"

namespace zorvi {

// The ports of one instance: all PORT_LAN in the program. Tests that run several machines on one
// host give each its own.
struct LanPorts {
  std::uint16_t listen = PORT_LAN;    // LanServer
  std::uint16_t datagram = PORT_LAN;  // LanDatagram is bound here
  std::uint16_t sweep = PORT_LAN;     // scan datagrams go to this port
  std::uint16_t connect = PORT_LAN;   // an answer connects to the announcing machine here
};

class LanMachine final : private LanServerEvents, private LanClientEvents, private LanDatagramEvents {
 public:
  LanMachine(NetworkService& network, GuiThread& gui, SessionView& view, LocalMachine& machine, ClientList& clients,
             LanPorts ports = {});

  // Opens the listener and the datagram endpoint. A second instance on the same machine finds the
  // ports taken and runs on with both closed: it can still answer a scan through LanClient.
  void open();

  LanServer& server() { return server_; }
  LanClient& client() { return client_; }
  LanDatagram& datagram() { return datagram_; }
  ControllerSession& controller() { return controller_; }
  ControlledSession& controlled() { return controlled_; }
  LanDiscovery& discovery() { return discovery_; }

 private:
  void clientEntered(const ClientId& client) override;
  void dataArrived(const ClientId& client, const std::string& bytes) override;
  void clientLeft(const ClientId& client) override;
  void connectFinished(bool connected) override;
  void dataArrived(const std::string& bytes) override;
  void connectionClosed() override;
  void datagramArrived(const std::string& bytes) override;

  const LanPorts ports_;
  LanServer server_;
  LanClient client_;
  LanDatagram datagram_;
  ControlledSession controlled_;
  ControllerSession controller_;
  LanDiscovery discovery_;
};

}  // namespace zorvi
