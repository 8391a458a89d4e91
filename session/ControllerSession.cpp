#include "session/ControllerSession.h"

#include "protocol/MessageCodec.h"
#include "protocol/MessageKinds.h"
#include "protocol/Payloads.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

// The row a profile makes: address and port, then the fields in column order (the system
// version, fifth on the wire, is the last column).
ClientRow rowFor(const std::string& address, const std::string& port, const MachineProfile& profile) {
  ClientRow row;
  row.cells = {address,        port,         profile.userName, profile.serialNumber, profile.cpu,
               profile.memory, profile.gpuName, profile.bios,  profile.gpuDriver,    profile.vbios,
               profile.osVersion};
  return row;
}

}  // namespace

ControllerSession::ControllerSession(LanServer& server, SessionView& view, ClientList& clients,
                                     ControlledSession& controlled)
    : server_(server), view_(view), clients_(clients), controlled_(controlled) {}

void ControllerSession::clientEntered(const ClientId& client) {
  streams_[client] = ReceiveStream();
  server_.send(client, MessageCodec::wrap(profileRequestBody()));
  view_.setConnectionStatus(TEXT_THIS_IS_SERVER);
}

void ControllerSession::dataArrived(const ClientId& client, std::string_view bytes) {
  const auto stream = streams_.find(client);
  if (stream == streams_.end()) {
    return;
  }
  // Every message is handled, in order: first as a controlled machine would, then as a profile.
  for (const TextMessage& message : stream->second.feed(bytes)) {
    controlled_.dispatchBody(message.body);
    if (!streams_.contains(client)) {
      return;  // the connection closed while that message was handled (a nested event)
    }
    const KindedBody kinded = recogniseOnController(message.body);
    if (kinded.kind == MessageKind::Profile) {
      listProfile(client, kinded.payload);
    }
  }
}

void ControllerSession::listProfile(const ClientId& client, std::string_view payload) {
  const MachineProfile profile = readProfilePayload(payload);
  const std::vector<std::string> addressAndPort = splitText(client, ":");
  if (addressAndPort.size() < 2) {
    return;
  }
  if (const auto row = clients_.findAddress(addressAndPort[0])) {
    // The same machine through a newer connection: later sends go to it; the row keeps its values.
    clients_.setCell(*row, COLUMN_PORT, addressAndPort[1]);
    return;
  }
  clients_.appendRow(rowFor(addressAndPort[0], addressAndPort[1], profile));
}

void ControllerSession::clientLeft(const ClientId& client) {
  streams_.erase(client);
  // Only the row of this very connection goes: after a re-scan the machine's older connection may
  // close after its newer one has been listed, and the machine is still there.
  for (std::size_t i = 0; i < clients_.rowCount(); ++i) {
    if (clients_.row(i).clientId() == client) {
      clients_.removeRow(i);
      break;
    }
  }
  if (clients_.rowCount() == 0) {
    view_.setConnectionStatus(TEXT_NO_CONNECTION);
  }
}

void ControllerSession::sendOperatorText() {
  const std::string message = MessageCodec::wrap(operatorTextBody(view_.messageText()));
  for (const ClientRow& row : *clients_.snapshot()) {
    if (row.ticked) {
      server_.send(row.clientId(), message);
    }
  }
}

}  // namespace zorvi
