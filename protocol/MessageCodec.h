#pragma once
// Builds the enveloped text of every TCP message and cuts received text back into messages.
// Stateless and thread-safe: senders on any thread may wrap; receivers parse on the GUI thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/LocalClock.h"

namespace zorvi {

// One received message: its timestamp and its body, both GBK texts.
struct TextMessage {
  std::string timestamp;
  std::string body;
  bool operator==(const TextMessage&) const = default;
};

namespace MessageCodec {

// The complete message text for `body` with a fresh timestamp, ready to send unchanged.
std::string wrap(std::string_view body);

// The same with a given timestamp text.
std::string wrapWithTimestamp(std::string_view body, std::string_view timestamp);

// The 13-digit timestamp of this moment.
std::string makeTimestamp();

// Seconds and three millisecond digits, padded at the right with "0" to 13 characters.
std::string formatTimestamp(const LocalClockReading& reading);

// The contents (each starting with MARK_TEXT_HEAD) of the complete messages in one block, in order.
std::vector<std::string> splitBlock(std::string_view block);

// The first text message in `text`, or nothing when its inner text is not exactly two parts.
std::optional<TextMessage> parseTextMessage(std::string_view text);

}  // namespace MessageCodec
}  // namespace zorvi
