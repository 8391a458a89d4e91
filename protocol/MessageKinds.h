#pragma once
// The four kinds of message body and how each side tells them apart.

#include <string>
#include <string_view>

namespace zorvi {

enum class MessageKind { Input, ProfileRequest, Profile, OperatorText, Unrecognised };

// A body with its kind; `payload` is the body without its kind marker (a view into the body).
struct KindedBody {
  MessageKind kind = MessageKind::Unrecognised;
  std::string_view payload;
};

// The controlled machine's test: Input, else ProfileRequest, else OperatorText; a Profile body
// and everything else is Unrecognised.
KindedBody recogniseOnControlled(std::string_view body);

// The controller's test: only Profile is looked for.
KindedBody recogniseOnController(std::string_view body);

// Bodies as senders build them (the caller wraps them with MessageCodec::wrap).
std::string profileRequestBody();
std::string profileBody(std::string_view profilePayload);
std::string operatorTextBody(std::string_view text);

}  // namespace zorvi
