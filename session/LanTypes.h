#pragma once
// Names shared by the network endpoints and the sessions built on them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorvi {

// The TCP listening port, the UDP port and the port every outgoing connection goes to.
inline constexpr std::uint16_t PORT_LAN = 18257;

// One accepted connection of LanServer: the peer's dotted IPv4 address, ":" and its TCP port in
// decimal, e.g. "192.168.1.20:50211". The only handle the program has on that connection.
using ClientId = std::string;

// Bytes each TCP connection may hold waiting to be written. A peer that stops reading costs at most
// this much; a text longer than this is never sent.
inline constexpr std::size_t WRITE_QUEUE_LIMIT = std::size_t{4} << 20;

}  // namespace zorvi
