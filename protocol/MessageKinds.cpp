#include "protocol/MessageKinds.h"

#include "protocol/Markers.h"

namespace zorvi {

KindedBody recogniseOnControlled(std::string_view body) {
  if (body.starts_with(MARK_KIND_INPUT)) {
    return {MessageKind::Input, body.substr(MARK_KIND_INPUT.size())};
  }
  if (body == TEXT_PROFILE_REQUEST) {
    return {MessageKind::ProfileRequest, {}};
  }
  if (body.starts_with(MARK_KIND_TEXT)) {
    return {MessageKind::OperatorText, body.substr(MARK_KIND_TEXT.size())};
  }
  return {};
}

KindedBody recogniseOnController(std::string_view body) {
  if (body.starts_with(MARK_KIND_PROFILE)) {
    return {MessageKind::Profile, body.substr(MARK_KIND_PROFILE.size())};
  }
  return {};
}

std::string profileRequestBody() { return std::string(TEXT_PROFILE_REQUEST); }

std::string profileBody(std::string_view profilePayload) {
  return std::string(MARK_KIND_PROFILE).append(profilePayload);
}

std::string operatorTextBody(std::string_view text) { return std::string(MARK_KIND_TEXT).append(text); }

}  // namespace zorvi
