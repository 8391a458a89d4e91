#include "session/LanMachine.h"

namespace zorvi {

LanMachine::LanMachine(NetworkService& network, GuiThread& gui, SessionView& view, LocalMachine& machine,
                       ClientList& clients, LanPorts ports)
    : ports_(ports),
      server_(network, gui, static_cast<LanServerEvents&>(*this)),
      client_(network, gui, static_cast<LanClientEvents&>(*this)),
      datagram_(network, gui, static_cast<LanDatagramEvents&>(*this)),
      controlled_(client_, view, machine),
      controller_(server_, view, clients, controlled_),
      discovery_(datagram_, client_, view, machine, controlled_, ports.sweep, ports.connect) {}

void LanMachine::open() {
  server_.open(ports_.listen);
  datagram_.open(ports_.datagram);
}

void LanMachine::clientEntered(const ClientId& client) { controller_.clientEntered(client); }

void LanMachine::dataArrived(const ClientId& client, const std::string& bytes) {
  controller_.dataArrived(client, bytes);
}

void LanMachine::clientLeft(const ClientId& client) { controller_.clientLeft(client); }

void LanMachine::connectFinished(bool connected) { discovery_.connectFinished(connected); }

void LanMachine::dataArrived(const std::string& bytes) { controlled_.dataArrived(bytes); }

void LanMachine::connectionClosed() { controlled_.connectionClosed(); }

void LanMachine::datagramArrived(const std::string& bytes) { discovery_.datagramArrived(bytes); }

}  // namespace zorvi
