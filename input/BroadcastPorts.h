#pragma once
// What the broadcast thread needs from the rest of the program. Both are called on the broadcast
// thread while the GUI thread keeps changing the list and the connections, so implementations
// must be safe from any thread.

#include <string>
#include <string_view>
#include <vector>

namespace zorvi {

// The machines that are to receive input.
class BroadcastTargets {
 public:
  virtual ~BroadcastTargets() = default;
  // The ClientIds ("address:port") of the ticked rows of the client list, in row order, as the
  // list stood at one moment.
  virtual std::vector<std::string> tickedClientIds() = 0;
};

// The way out to one machine.
class InputSender {
 public:
  virtual ~InputSender() = default;
  // Queues the whole message for the connection named `clientId`, or nothing, and returns at once:
  // it must never wait for the network, so a slow or gone machine cannot hold up the others. False
  // when there is no such connection or its queue is full.
  virtual bool send(std::string_view clientId, std::string_view message) = 0;
};

}  // namespace zorvi
