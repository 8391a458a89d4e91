// Framing over arbitrary bytes. TCP may cut the bytes anywhere, so the messages a connection yields
// must not depend on where the cuts fall: fed whole, fed in the pieces the input chooses, or taken
// apart as one block by splitBlock and parseTextMessage, the same messages come out in the same
// order. A stream with a tiny limit must hold no more than that limit, whatever arrives.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "protocol/Markers.h"
#include "protocol/MessageCodec.h"
#include "protocol/ReceiveStream.h"

namespace {

using zorvi::ReceiveStream;
using zorvi::TextMessage;
using zorvi::fuzz::require;

std::vector<TextMessage> feedInCuts(ReceiveStream& stream, std::string_view bytes, zorvi::fuzz::CutLengths cuts) {
  std::vector<TextMessage> messages;
  while (!bytes.empty()) {
    const std::size_t length = std::min(cuts.next(), bytes.size());
    for (TextMessage& message : stream.feed(bytes.substr(0, length))) {
      messages.push_back(std::move(message));
    }
    bytes.remove_prefix(length);
  }
  return messages;
}

std::vector<TextMessage> messagesOfOneBlock(std::string_view block) {
  std::vector<TextMessage> messages;
  for (const std::string& content : zorvi::MessageCodec::splitBlock(block)) {
    if (auto message = zorvi::MessageCodec::parseTextMessage(content)) {
      messages.push_back(std::move(*message));
    }
  }
  return messages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvi::fuzz::FuzzBytes input(data, size);
  const std::uint8_t cutSeed = input.takeByte();
  const std::size_t largestCut = 1 + input.takeByte() % 64;
  const std::size_t tinyLimit = input.takeByte();
  const std::string_view raw = input.takeRest();

  // A zero byte ends a read's text, so only zero-free bytes mean the same however they are cut.
  std::string text(raw);
  std::replace(text.begin(), text.end(), '\0', '\x01');

  ReceiveStream whole;
  const std::vector<TextMessage> fromWhole = whole.feed(text);
  ReceiveStream cut;
  const std::vector<TextMessage> fromCuts = feedInCuts(cut, text, zorvi::fuzz::CutLengths(cutSeed, largestCut));
  require(fromCuts == fromWhole, "the cuts of the reads change the messages");
  require(fromWhole == messagesOfOneBlock(text), "the stream and splitBlock disagree on one whole block");
  require(cut.pendingBytes() == whole.pendingBytes(), "the cuts change what is held back");

  // The raw bytes, zero bytes and all, into a stream that may hold almost nothing.
  ReceiveStream bounded(tinyLimit);
  zorvi::fuzz::CutLengths cuts(cutSeed, largestCut);
  for (std::string_view rest = raw; !rest.empty();) {
    const std::size_t length = std::min(cuts.next(), rest.size());
    bounded.feed(rest.substr(0, length));
    rest.remove_prefix(length);
    require(bounded.pendingBytes() <= std::max(tinyLimit, zorvi::MARK_MESSAGE_SEP.size()),
            "a stream holds more than its limit");
  }
  return 0;
}
