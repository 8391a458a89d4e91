#include "protocol/Payloads.h"

#include <vector>

#include "protocol/Markers.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

std::string_view withoutLabel(std::string_view piece, std::string_view label) {
  return piece.size() > label.size() ? piece.substr(label.size()) : std::string_view{};
}

}  // namespace

std::string formatFraction(float fraction) { return formatGeneral(fraction, 6); }

std::string inputBody(const InputEvent& event) {
  std::string body(MARK_KIND_INPUT);
  body.append(LABEL_INPUT_X)
      .append(formatFraction(event.horizontal))
      .append(MARK_INPUT_FIELD_SEP)
      .append(LABEL_INPUT_Y)
      .append(formatFraction(event.vertical))
      .append(MARK_INPUT_FIELD_SEP)
      .append(LABEL_INPUT_STATE)
      .append(event.keyState);
  return body;
}

std::optional<InputEvent> readInputPayload(std::string_view payload) {
  const std::vector<std::string> pieces = splitText(payload, MARK_INPUT_FIELD_SEP);
  if (pieces.size() != 3) {
    return std::nullopt;
  }
  InputEvent event;
  event.horizontal = static_cast<float>(readDecimal(withoutLabel(pieces[0], LABEL_INPUT_X)));
  event.vertical = static_cast<float>(readDecimal(withoutLabel(pieces[1], LABEL_INPUT_Y)));
  event.keyState = std::string(withoutLabel(pieces[2], LABEL_INPUT_STATE));
  return event;
}

std::string joinProfile(const MachineProfile& profile) {
  const std::string_view fields[PROFILE_FIELD_COUNT] = {
      profile.userName, profile.serialNumber, profile.cpu,       profile.memory, profile.osVersion,
      profile.gpuName,  profile.bios,         profile.gpuDriver, profile.vbios};
  std::string text;
  for (std::size_t i = 0; i < PROFILE_FIELD_COUNT; ++i) {
    if (i > 0) {
      text.append(MARK_PROFILE_FIELD_SEP);
    }
    text.append(fields[i]);
  }
  return text;
}

std::optional<std::array<std::string, PROFILE_FIELD_COUNT>> splitProfileFields(std::string_view profileText) {
  std::vector<std::string> pieces = splitText(profileText, MARK_PROFILE_FIELD_SEP);
  // splitText makes no piece after a trailing separator: then every piece is followed by one.
  std::size_t piecesWithSeparators = pieces.size() * MARK_PROFILE_FIELD_SEP.size();
  for (const std::string& piece : pieces) {
    piecesWithSeparators += piece.size();
  }
  if (!pieces.empty() && piecesWithSeparators == profileText.size()) {
    pieces.emplace_back();
  }
  if (pieces.size() != PROFILE_FIELD_COUNT) {
    return std::nullopt;
  }
  std::array<std::string, PROFILE_FIELD_COUNT> fields;
  for (std::size_t i = 0; i < PROFILE_FIELD_COUNT; ++i) {
    fields[i] = std::move(pieces[i]);
  }
  return fields;
}

MachineProfile readProfilePayload(std::string_view payload) {
  const auto fields = splitProfileFields(payload);
  if (!fields) {
    return {};
  }
  return MachineProfile{(*fields)[0], (*fields)[1], (*fields)[2], (*fields)[3], (*fields)[4],
                        (*fields)[5], (*fields)[6], (*fields)[7], (*fields)[8]};
}

}  // namespace zorvi
