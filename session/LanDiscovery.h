#pragma once
// Brings controller and controlled machines together without configuration. The scan button
// sweeps a scan datagram over every /24 subnet of the /16 network of each local address; a machine
// that receives one from another machine connects its LanClient back to the announced address and
// greets it. A disconnect datagram makes a machine drop its connection. GUI thread only, apart from
// the sweep threads, which only send datagrams.

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "session/ControlledSession.h"
#include "session/LanClient.h"
#include "session/LanDatagram.h"
#include "session/SessionPorts.h"

namespace zorvi {

inline constexpr std::string_view TEXT_SCAN_PREFIX = "zorvi局域网扫描：";
inline constexpr std::string_view TEXT_SCAN_WORD = "zorvi局域网扫描";
inline constexpr std::string_view TEXT_SCAN_COLON = "：";
inline constexpr std::string_view TEXT_DISCONNECT = "zorvi断开服务器连接";
inline constexpr std::string_view TEXT_CONNECTED_TO_SERVER = "已连接服务器：";
inline constexpr std::string_view TEXT_NOT_ON_LAN = "本机器未加入局域网！";

inline constexpr int SWEEP_SUBNETS = 255;

class LanDiscovery {
 public:
  // `sweepPort` is where scan datagrams go and `connectPort` where answers connect; both are
  // PORT_LAN in the program (tests run several machines on one host).
  LanDiscovery(LanDatagram& datagram, LanClient& client, SessionView& view, LocalMachine& machine,
               ControlledSession& controlled, std::uint16_t sweepPort, std::uint16_t connectPort);
  // Waits for running sweeps (a few milliseconds each).
  ~LanDiscovery();

  LanDiscovery(const LanDiscovery&) = delete;
  LanDiscovery& operator=(const LanDiscovery&) = delete;

  // The button "扫描局域网客户".
  void scanButton();
  void datagramArrived(std::string_view bytes);
  // The answer's connection is made (greet, show it) or failed (nothing changes).
  void connectFinished(bool connected);

  // This machine's addresses as the last scan found them; empty before the first scan.
  const std::vector<std::string>& localAddresses() const { return localAddresses_; }

 private:
  void joinSweeps();

  LanDatagram& datagram_;
  LanClient& client_;
  SessionView& view_;
  LocalMachine& machine_;
  ControlledSession& controlled_;
  const std::uint16_t sweepPort_;
  const std::uint16_t connectPort_;
  std::vector<std::string> localAddresses_;
  std::string answeredController_;  // the address the pending or current connection goes to
  std::string shownConnection_;  // what this class last wrote into the connection label
  std::vector<std::thread> sweeps_;
};

// The scan datagram's destinations for one local address o1.o2.o3.o4: o1.o2.i.255 for i = 1..255.
// Empty when the address is not dotted text.
std::vector<std::string> sweepDestinations(std::string_view localAddress);

}  // namespace zorvi
