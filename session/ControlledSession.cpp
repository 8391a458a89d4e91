#include "session/ControlledSession.h"

#include "protocol/MessageCodec.h"
#include "protocol/MessageKinds.h"

namespace zorvi {

ControlledSession::ControlledSession(LanClient& client, SessionView& view, LocalMachine& machine)
    : client_(client), view_(view), machine_(machine) {}

void ControlledSession::connectionOpened() { stream_ = ReceiveStream(); }

void ControlledSession::dataArrived(std::string_view bytes) {
  for (const TextMessage& message : stream_.feed(bytes)) {
    dispatchBody(message.body);
  }
}

void ControlledSession::connectionClosed() {
  view_.setConnectionStatus(TEXT_NO_CONNECTION);
  machine_.releaseLeftButton();
}

void ControlledSession::dispatchBody(std::string_view body) {
  const KindedBody kinded = recogniseOnControlled(body);
  switch (kinded.kind) {
    case MessageKind::Input:
      machine_.replayKeyMouse(kinded.payload);
      break;
    case MessageKind::ProfileRequest:
      answerProfileRequest();
      break;
    case MessageKind::OperatorText:
      view_.setMessageText(kinded.payload);
      break;
    case MessageKind::Profile:
    case MessageKind::Unrecognised:
      break;
  }
}

void ControlledSession::answerProfileRequest() {
  const std::string message = MessageCodec::wrap(profileBody(machine_.buildMachineProfile()));
  if (!client_.send(message)) {
    view_.showMessageBox(TEXT_PROFILE_SEND_FAILED);
  }
}

}  // namespace zorvi
