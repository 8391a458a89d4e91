// The datagram handler over arbitrary datagrams, through the real discovery, controlled session and
// LanClient of a machine whose listener and datagram endpoint are closed. The process first moves
// into a network namespace of its own, so whatever address or name a datagram announces, the
// answer's lookup and connect stay on this machine and fail at once.
//
// What must hold: a scan word with an address starts exactly one connect, which ends (refused or
// unreachable) within the connect bound and changes nothing the operator sees; every other
// datagram starts none; nothing is ever shown, built or replayed.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "protocol/TextPrimitives.h"
#include "session/ControlledSession.h"
#include "session/LanClient.h"
#include "session/LanDatagram.h"
#include "session/LanDiscovery.h"
#include "session/NetworkService.h"
#include "session/PumpedGuiQueue.h"
#include "tests/reliability/NetworkIsolation.h"
#include "tests/session/MachineFixture.h"

namespace {

using namespace zorvi;
using zorvi::fuzz::require;

constexpr std::uint16_t NOTHING_LISTENS = 1;  // in a namespace of our own, no port has a listener
constexpr std::chrono::milliseconds CONNECT_BOUND{1000};

class ClientEvents final : public LanClientEvents {
 public:
  void connectFinished(bool connected) override {
    ++finished;
    everConnected = everConnected || connected;
    if (discovery != nullptr) {
      discovery->connectFinished(connected);
    }
  }
  void dataArrived(const std::string&) override { ++unexpected; }
  void connectionClosed() override { ++unexpected; }

  LanDiscovery* discovery = nullptr;
  int finished = 0;
  int unexpected = 0;
  bool everConnected = false;
};

class NoDatagrams final : public LanDatagramEvents {
 public:
  void datagramArrived(const std::string&) override {}
};

struct ClosedMachine {
  ClosedMachine() : local(test::sampleProfile("fuzz")) { clientEvents.discovery = &discovery; }

  NetworkService network;
  PumpedGuiQueue gui;
  test::RecordingView view;
  test::RecordingMachine local;
  ClientEvents clientEvents;
  NoDatagrams datagramEvents;
  LanClient client{network, gui, clientEvents, CONNECT_BOUND};
  LanDatagram datagram{network, gui, datagramEvents};
  ControlledSession controlled{client, view, local};
  LanDiscovery discovery{datagram, client, view, local, controlled, NOTHING_LISTENS, NOTHING_LISTENS};
};

// The datagram's text asks for a connect: its first piece at the full-width colon is the scan word
// and an address follows.
bool announcesAnAddress(std::string_view datagram) {
  const std::vector<std::string> pieces = splitText(textBeforeZero(datagram), TEXT_SCAN_COLON);
  return pieces.size() >= 2 && pieces[0] == TEXT_SCAN_WORD && !pieces[1].empty();
}

ClosedMachine* machine = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string problem = test::isolateNetwork();
  if (!problem.empty()) {
    std::fprintf(stderr, "cannot fuzz the datagram handler without a network namespace of its own: %s\n",
                 problem.c_str());
    std::exit(1);
  }
  static ClosedMachine closed;
  machine = &closed;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string datagram(reinterpret_cast<const char*>(data), size);
  const int finishedBefore = machine->clientEvents.finished;
  machine->discovery.datagramArrived(datagram);
  if (announcesAnAddress(datagram)) {
    require(machine->gui.runUntil([finishedBefore] { return machine->clientEvents.finished > finishedBefore; },
                                  CONNECT_BOUND * 3),
            "an answer's connect ends within its bound");
  }
  machine->gui.runPending();
  require(machine->clientEvents.finished <= finishedBefore + 1, "one datagram starts at most one connect");
  require(!machine->clientEvents.everConnected && machine->clientEvents.unexpected == 0,
          "nothing in this namespace can be connected to");
  require(machine->view.status == TEXT_NO_CONNECTION, "a failed answer never claims a connection");
  require(machine->view.boxes.empty() && machine->local.log.empty(), "a datagram shows, builds or replays nothing");
  return 0;
}
