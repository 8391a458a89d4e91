#include "protocol/MessageCodec.h"

#include <algorithm>

#include "protocol/Markers.h"
#include "protocol/TextPrimitives.h"

namespace zorvi::MessageCodec {

std::string wrap(std::string_view body) { return wrapWithTimestamp(body, makeTimestamp()); }

std::string wrapWithTimestamp(std::string_view body, std::string_view timestamp) {
  std::string message;
  message.reserve(ENVELOPE_BYTES + body.size());
  message.append(MARK_MESSAGE_HEAD)
      .append(MARK_TEXT_HEAD)
      .append(timestamp)
      .append(MARK_TEXT_INNER_SEP)
      .append(body)
      .append(MARK_TEXT_TAIL)
      .append(MARK_MESSAGE_TAIL)
      .append(MARK_MESSAGE_SEP);
  return message;
}

std::string makeTimestamp() { return formatTimestamp(readLocalClock()); }

std::string formatTimestamp(const LocalClockReading& reading) {
  std::string stamp = std::to_string(reading.seconds);
  const std::string millis = std::to_string(reading.milliseconds);
  stamp.append(3 - std::min<std::size_t>(3, millis.size()), '0').append(millis);
  if (stamp.size() < 13) {
    stamp.append(13 - stamp.size(), '0');
  }
  return stamp;
}

std::vector<std::string> splitBlock(std::string_view block) {
  std::vector<std::string> contents;
  for (const std::string& piece : splitText(textBeforeZero(block), MARK_MESSAGE_SEP)) {
    std::string content = textBetween(piece, MARK_MESSAGE_HEAD, MARK_MESSAGE_TAIL);
    if (content.starts_with(MARK_TEXT_HEAD)) {
      contents.push_back(std::move(content));
    }
  }
  return contents;
}

std::optional<TextMessage> parseTextMessage(std::string_view text) {
  const std::vector<std::string> parts =
      splitText(textBetween(text, MARK_TEXT_HEAD, MARK_TEXT_TAIL), MARK_TEXT_INNER_SEP);
  if (parts.size() != 2) {
    return std::nullopt;
  }
  return TextMessage{parts[0], parts[1]};
}

}  // namespace zorvi::MessageCodec
