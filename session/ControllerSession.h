#pragma once
// The controller's side of the connections controlled machines open to its LanServer: each new
// connection is asked for its machine's profile, each machine gets one row of the ClientList (keyed
// by address), a row goes when its connection closes, and the operator's text goes to the ticked
// rows. GUI thread only.

#include <map>
#include <string_view>

#include "protocol/ReceiveStream.h"
#include "session/ClientList.h"
#include "session/ControlledSession.h"
#include "session/LanServer.h"
#include "session/SessionPorts.h"

namespace zorvi {

inline constexpr std::string_view TEXT_THIS_IS_SERVER = "本机为服务器！";

class ControllerSession {
 public:
  ControllerSession(LanServer& server, SessionView& view, ClientList& clients, ControlledSession& controlled);

  void clientEntered(const ClientId& client);
  void dataArrived(const ClientId& client, std::string_view bytes);
  void clientLeft(const ClientId& client);

  // The button "服务器发送": the text of the message box to every ticked row.
  void sendOperatorText();

 private:
  void listProfile(const ClientId& client, std::string_view payload);

  LanServer& server_;
  SessionView& view_;
  ClientList& clients_;
  ControlledSession& controlled_;
  std::map<ClientId, ReceiveStream> streams_;
};

}  // namespace zorvi
