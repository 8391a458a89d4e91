#include "session/LanDiscovery.h"

#include <algorithm>

#include "protocol/TextPrimitives.h"

namespace zorvi {

std::vector<std::string> sweepDestinations(std::string_view localAddress) {
  const std::vector<std::string> octets = splitText(localAddress, ".");
  std::vector<std::string> destinations;
  if (octets.size() < 2) {
    return destinations;
  }
  destinations.reserve(SWEEP_SUBNETS);
  for (int subnet = 1; subnet <= SWEEP_SUBNETS; ++subnet) {
    destinations.push_back(octets[0] + "." + octets[1] + "." + std::to_string(subnet) + ".255");
  }
  return destinations;
}

LanDiscovery::LanDiscovery(LanDatagram& datagram, LanClient& client, SessionView& view, LocalMachine& machine,
                           ControlledSession& controlled, std::uint16_t sweepPort, std::uint16_t connectPort)
    : datagram_(datagram),
      client_(client),
      view_(view),
      machine_(machine),
      controlled_(controlled),
      sweepPort_(sweepPort),
      connectPort_(connectPort) {}

LanDiscovery::~LanDiscovery() { joinSweeps(); }

void LanDiscovery::joinSweeps() {
  for (std::thread& sweep : sweeps_) {
    sweep.join();
  }
  sweeps_.clear();
}

void LanDiscovery::scanButton() {
  view_.scanStarted();
  localAddresses_ = machine_.localIPv4Addresses();
  if (localAddresses_.empty()) {
    view_.showMessageBox(TEXT_NOT_ON_LAN);
    return;
  }
  joinSweeps();
  for (const std::string& address : localAddresses_) {
    // Unpaced and fire-and-forget: the answers arrive as connections on LanServer.
    sweeps_.emplace_back([this, address] {
      const std::string text = std::string(TEXT_SCAN_PREFIX) + address;
      for (const std::string& destination : sweepDestinations(address)) {
        datagram_.send(destination, sweepPort_, text);
      }
    });
  }
}

void LanDiscovery::datagramArrived(std::string_view bytes) {
  const std::string_view text = textBeforeZero(bytes);
  const std::vector<std::string> pieces = splitText(text, TEXT_SCAN_COLON);
  if (!pieces.empty() && pieces[0] == TEXT_SCAN_WORD) {
    if (pieces.size() < 2 || pieces[1].empty()) {
      return;  // a scan word without an address
    }
    const std::string& announced = pieces[1];
    if (std::find(localAddresses_.begin(), localAddresses_.end(), announced) != localAddresses_.end()) {
      return;  // this machine's own sweep
    }
    answeredController_ = announced;
    client_.connect(announced, connectPort_);
    return;
  }
  if (text == TEXT_DISCONNECT) {
    client_.disconnect();
  }
}

void LanDiscovery::connectFinished(bool connected) {
  if (!connected) {
    // The connect dropped any connection the label may still name; leaving that address there
    // would claim a controller this machine no longer hears. Other texts are not ours to change.
    if (view_.connectionStatus() == shownConnection_) {
      view_.setConnectionStatus(TEXT_NO_CONNECTION);
    }
    return;
  }
  controlled_.connectionOpened();
  client_.send(answeredController_);
  shownConnection_ = std::string(TEXT_CONNECTED_TO_SERVER) + answeredController_;
  view_.setConnectionStatus(shownConnection_);
}

}  // namespace zorvi
