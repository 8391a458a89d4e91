#include "protocol/ReceiveStream.h"

#include "protocol/Markers.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

// True when the unread rest is too short to tell whether a marker begins here.
bool mayStartMarker(std::string_view rest) {
  return rest.size() < MARK_MESSAGE_SEP.size() &&
         (MARK_MESSAGE_SEP.starts_with(rest) || MARK_MESSAGE_HEAD.starts_with(rest) ||
          MARK_MESSAGE_TAIL.starts_with(rest));
}

}  // namespace

ReceiveStream::ReceiveStream(std::size_t pendingLimit) : pendingLimit_(pendingLimit) {}

std::vector<TextMessage> ReceiveStream::feed(std::string_view bytes) {
  std::vector<TextMessage> messages;
  pending_.append(textBeforeZero(bytes));

  // Step over whole GBK characters from the piece start, as splitText and textBetween do, so a
  // marker only matches where a character begins.
  while (scanAt_ < pending_.size()) {
    const std::string_view rest = std::string_view(pending_).substr(scanAt_);
    if (rest.starts_with(MARK_MESSAGE_SEP)) {
      startPiece(scanAt_ + MARK_MESSAGE_SEP.size());
      continue;
    }
    if (!skipping_ && headAt_ == std::string::npos && rest.starts_with(MARK_MESSAGE_HEAD)) {
      headAt_ = scanAt_;
      scanAt_ += MARK_MESSAGE_HEAD.size();
      continue;
    }
    if (!skipping_ && headAt_ != std::string::npos && rest.starts_with(MARK_MESSAGE_TAIL)) {
      takeMessage(scanAt_, messages);
      skipping_ = true;
      scanAt_ += MARK_MESSAGE_TAIL.size();
      continue;
    }
    if (mayStartMarker(rest) || (isGbkLeadByte(rest.front()) && rest.size() < 2)) {
      break;  // wait for the bytes that tell
    }
    scanAt_ += isGbkLeadByte(rest.front()) ? 2 : 1;
  }

  if (!skipping_ && pending_.size() - pieceStart_ > pendingLimit_) {
    skipping_ = true;
    headAt_ = std::string::npos;
  }
  if (skipping_) {
    pieceStart_ = scanAt_;  // nothing before the scan position is needed any more
  }
  pending_.erase(0, pieceStart_);
  scanAt_ -= pieceStart_;
  if (headAt_ != std::string::npos) {
    headAt_ -= pieceStart_;
  }
  pieceStart_ = 0;
  return messages;
}

void ReceiveStream::takeMessage(std::size_t tailAt, std::vector<TextMessage>& messages) const {
  const std::size_t contentStart = headAt_ + MARK_MESSAGE_HEAD.size();
  const std::string_view content = std::string_view(pending_).substr(contentStart, tailAt - contentStart);
  if (!content.starts_with(MARK_TEXT_HEAD)) {
    return;
  }
  if (auto message = MessageCodec::parseTextMessage(content)) {
    messages.push_back(std::move(*message));
  }
}

void ReceiveStream::startPiece(std::size_t at) {
  pieceStart_ = at;
  scanAt_ = at;
  headAt_ = std::string::npos;
  skipping_ = false;
}

}  // namespace zorvi
