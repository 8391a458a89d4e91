#pragma once
// The receiving side of one TCP connection. TCP keeps no message boundaries, so a message may
// arrive split over two reads: the stream keeps the unfinished tail and completes it with the next
// read. Each message is cut and taken apart exactly as MessageCodec::splitBlock and
// parseTextMessage do for a whole block.
//
// A message whose envelope is complete is handled at once, even before its closing separator
// arrives (a sender that leaves the separator off still gets through); whatever follows it up to
// the next separator is then ignored, as in a block. The unfinished tail is bounded: past the
// limit without a separator it is dropped and the stream resynchronises on the next separator.
// One stream per connection, used from one thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/MessageCodec.h"

namespace zorvi {

class ReceiveStream {
 public:
  static constexpr std::size_t DEFAULT_PENDING_LIMIT = std::size_t{1} << 20;

  explicit ReceiveStream(std::size_t pendingLimit = DEFAULT_PENDING_LIMIT);

  // Takes one read (its bytes up to the first zero byte) and returns the text messages it
  // completed, in order of arrival.
  std::vector<TextMessage> feed(std::string_view bytes);

  // Bytes held back for the next read.
  std::size_t pendingBytes() const { return pending_.size(); }

 private:
  void takeMessage(std::size_t tailAt, std::vector<TextMessage>& messages) const;
  void startPiece(std::size_t at);

  std::size_t pendingLimit_;
  std::string pending_;
  std::size_t pieceStart_ = 0;  // start of the piece being read (since the last separator)
  std::size_t scanAt_ = 0;      // next character boundary to test
  std::size_t headAt_ = std::string::npos;  // MARK_MESSAGE_HEAD of this piece, once seen
  bool skipping_ = false;       // piece handled or overlong: ignore bytes up to the next separator
};

}  // namespace zorvi
