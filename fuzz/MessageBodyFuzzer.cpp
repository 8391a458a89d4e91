// Message bodies and payloads over arbitrary bytes: the kind tests of both sides, the Input payload
// read and replayed on displays of any size, the Profile payload, and the envelope around the body.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "input/InputReplay.h"
#include "protocol/Markers.h"
#include "protocol/MessageCodec.h"
#include "protocol/MessageKinds.h"
#include "protocol/Payloads.h"
#include "protocol/TextPrimitives.h"

namespace {

using namespace zorvi;
using zorvi::fuzz::require;

// Keeps the last pointer position; the keys and buttons are only counted.
class DisplayOfSize final : public InputInjection {
 public:
  explicit DisplayOfSize(DisplayMode mode) : mode_(mode) {}
  DisplayMode queryDisplayMode() override { return mode_; }
  void setCursorPos(ScreenPoint position) override { last = position; }
  void keyAction(std::uint32_t, bool) override { ++actions; }
  void mouseButton(MouseButton, bool) override { ++actions; }

  ScreenPoint last{};
  int actions = 0;

 private:
  DisplayMode mode_;
};

// True when the text's last character is cut off: its lead byte is the last byte.
bool endsInsideCharacter(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    at += isGbkLeadByte(text[at]) ? 2 : 1;
  }
  return at > text.size();
}

void checkKinds(std::string_view body) {
  const KindedBody controlled = recogniseOnControlled(body);
  switch (controlled.kind) {
    case MessageKind::Input:
      require(body.starts_with(MARK_KIND_INPUT) && controlled.payload == body.substr(MARK_KIND_INPUT.size()),
              "an Input body is its marker and its payload");
      break;
    case MessageKind::ProfileRequest:
      require(body == TEXT_PROFILE_REQUEST, "only the exact sentence is a profile request");
      break;
    case MessageKind::OperatorText:
      require(body.starts_with(MARK_KIND_TEXT) && !body.starts_with(MARK_KIND_INPUT) &&
                  controlled.payload == body.substr(MARK_KIND_TEXT.size()),
              "an operator text is its marker and its payload");
      break;
    case MessageKind::Profile:
      require(false, "a controlled machine never takes a body for a profile");
      break;
    case MessageKind::Unrecognised:
      require(!body.starts_with(MARK_KIND_INPUT) && !body.starts_with(MARK_KIND_TEXT) && body != TEXT_PROFILE_REQUEST,
              "a body of a known kind went unrecognised");
      break;
  }
  const KindedBody controller = recogniseOnController(body);
  require((controller.kind == MessageKind::Profile) == body.starts_with(MARK_KIND_PROFILE),
          "the controller looks for the profile marker and nothing else");
}

void checkInput(std::string_view payload, DisplayMode mode) {
  const auto event = readInputPayload(payload);
  if (event) {
    // A trailing separator makes no piece (the splitting rule), so it may follow the key state.
    require(payload.ends_with(event->keyState) || payload.ends_with(event->keyState + std::string(MARK_INPUT_FIELD_SEP)),
            "the key state is the end of the payload");
  }
  // Whatever the display reports and whatever the fraction text, a pixel results, never undefined
  // arithmetic.
  DisplayOfSize display(mode);
  InputReplay(display).replayKeyMouse(payload);
  require(display.actions <= 1, "one message performs at most one action");
}

void checkProfile(std::string_view payload) {
  const auto fields = splitProfileFields(payload);
  const MachineProfile profile = readProfilePayload(payload);
  if (fields) {
    require(joinProfile(profile) == payload, "nine fields joined again give the payload back");
  } else {
    require(profile == MachineProfile{}, "a wrong count reads as nine empty fields");
  }
}

// The envelope carries every body that holds none of its inner markers whole, and never gives back
// anything but a beginning of the body.
void checkEnvelope(std::string_view body) {
  constexpr std::string_view timestamp = "1700000000123";
  const std::string message = MessageCodec::wrapWithTimestamp(body, timestamp);
  const auto parsed = MessageCodec::parseTextMessage(message);
  const bool carriable = !body.empty() && !endsInsideCharacter(body) &&
                         findText(body, MARK_TEXT_TAIL) == TEXT_NOT_FOUND &&
                         findText(body, MARK_TEXT_INNER_SEP) == TEXT_NOT_FOUND;
  if (carriable) {
    require(parsed && parsed->timestamp == timestamp && parsed->body == body, "a plain body comes back whole");
  }
  if (parsed) {
    require(parsed->timestamp == timestamp && body.starts_with(parsed->body), "a body comes back cut, never changed");
  }
  if (body.find('\0') == std::string_view::npos && findText(body, MARK_MESSAGE_TAIL) == TEXT_NOT_FOUND &&
      findText(body, MARK_MESSAGE_SEP) == TEXT_NOT_FOUND && !endsInsideCharacter(body)) {
    const auto contents = MessageCodec::splitBlock(message);
    require(contents.size() == 1, "one wrapped message is one content of its block");
    require(MessageCodec::parseTextMessage(contents.front()) == parsed, "the block gives the message back");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvi::fuzz::FuzzBytes input(data, size);
  const auto extent = [&input] {
    const int high = input.takeByte();
    const int low = input.takeByte();
    return static_cast<std::int16_t>(high << 8 | low);
  };
  DisplayMode mode;
  mode.width = extent();
  mode.height = extent();
  const std::string_view body = input.takeRest();

  checkKinds(body);
  checkInput(body, mode);
  if (body.starts_with(MARK_KIND_INPUT)) {
    checkInput(body.substr(MARK_KIND_INPUT.size()), mode);
  }
  checkProfile(body);
  if (body.starts_with(MARK_KIND_PROFILE)) {
    checkProfile(body.substr(MARK_KIND_PROFILE.size()));
  }
  checkEnvelope(body);
  MessageCodec::parseTextMessage(body);
  return 0;
}
