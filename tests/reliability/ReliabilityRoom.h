#pragma once
// Machines for the fault tests: the real endpoints and sessions of tests/session/MachineFixture.h on
// loopback, sharing one GUI queue that counts its backlog, plus raw peers that misbehave.

#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include "protocol/MessageCodec.h"
#include "protocol/MessageKinds.h"
#include "session/LanDiscovery.h"
#include "tests/reliability/CountingGuiQueue.h"
#include "tests/reliability/LoopbackPeer.h"
#include "tests/session/MachineFixture.h"

namespace zorvi::test {

inline const std::string PROFILE_REQUEST_MESSAGE = MessageCodec::wrap(profileRequestBody());

inline std::string scanFrom(const std::string& address) { return std::string(TEXT_SCAN_PREFIX) + address; }

// The wire form of a machine's profile answer.
inline std::string profileAnswer(const std::string& user) {
  return MessageCodec::wrap(profileBody(joinProfile(sampleProfile(user))));
}

// A figure the test measured, printed for RELIABILITY.md (and kept in the test's XML record).
inline void reportFigure(const std::string& name, double value, const std::string& unit) {
  std::cout << "[ FIGURE   ] " << name << ": " << value << " " << unit << std::endl;
  testing::Test::RecordProperty(name, std::to_string(value) + " " + unit);
}

class ReliabilityRoom {
 public:
  // A machine whose listener and datagram endpoint are open on free ports; its answers to scans
  // connect to `connectPort`.
  std::unique_ptr<TestMachine> machine(const std::string& user, std::uint16_t connectPort = PORT_LAN) {
    return std::make_unique<TestMachine>(network, gui, sampleProfile(user), LanPorts{0, 0, 0, connectPort});
  }

  // Runs the GUI queue until `done` holds, looking at it at least every few milliseconds, so that
  // it may also watch what raw peers receive.
  bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!gui.runUntil(done, std::chrono::milliseconds(5))) {
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
    }
    return true;
  }
  // Runs the GUI queue until `holds` has stayed true for `quiet` on end: events still on their way
  // (a sweep's reconnects, say) have had their effect, however loaded the machine.
  bool pumpUntilSteady(const std::function<bool()>& holds, std::chrono::milliseconds quiet) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    auto heldSince = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < deadline) {
      gui.runUntil([] { return false; }, std::chrono::milliseconds(5));
      const auto now = std::chrono::steady_clock::now();
      if (!holds()) {
        heldSince = now;
      } else if (now - heldSince >= quiet) {
        return true;
      }
    }
    return false;
  }
  // Lets every event already on its way arrive.
  void settle(std::chrono::milliseconds quiet = std::chrono::milliseconds(200)) {
    gui.runUntil([] { return false; }, quiet);
  }

  CountingGuiQueue gui;
  NetworkService network;  // after the queue: the endpoints post into it until they are closed
};

}  // namespace zorvi::test
