#pragma once
// The controlled machine's side of its one connection to a controller: everything that arrives
// on LanClient is taken apart and acted on (input replayed, the profile request answered, operator
// text shown), and the machine cleans up when the controller goes away. The controller runs the
// same handling on every block its own LanServer receives. GUI thread only.

#include <string>
#include <string_view>

#include "protocol/ReceiveStream.h"
#include "session/LanClient.h"
#include "session/SessionPorts.h"

namespace zorvi {

inline constexpr std::string_view TEXT_NO_CONNECTION = "暂无连接";
inline constexpr std::string_view TEXT_PROFILE_SEND_FAILED = "配置信息发送失败";

class ControlledSession {
 public:
  ControlledSession(LanClient& client, SessionView& view, LocalMachine& machine);

  // A new connection starts with nothing held back from the old one.
  void connectionOpened();
  // Bytes from the controller. Messages split across reads are completed by the next read. A
  // message may take seconds (the profile request), and data arriving meanwhile is handled at
  // once by a nested call; the messages after it in this read are handled afterwards.
  void dataArrived(std::string_view bytes);
  // The controller closed the connection: "暂无连接", and a held left button is let go.
  void connectionClosed();

  // Acts on one message body of the kinds a controlled machine knows.
  void dispatchBody(std::string_view body);

 private:
  void answerProfileRequest();

  LanClient& client_;
  SessionView& view_;
  LocalMachine& machine_;
  ReceiveStream stream_;
};

}  // namespace zorvi
