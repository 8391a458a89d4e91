#include "protocol/ReceiveStream.h"

#include <gtest/gtest.h>

#include "protocol/Markers.h"

namespace zorvi {
namespace {

using MessageCodec::wrapWithTimestamp;

constexpr std::string_view STAMP = "1700000000123";

std::vector<std::string> bodiesOf(const std::vector<TextMessage>& messages) {
  std::vector<std::string> bodies;
  for (const TextMessage& message : messages) {
    bodies.push_back(message.body);
  }
  return bodies;
}

std::vector<std::string> feedAll(ReceiveStream& stream, const std::vector<std::string>& reads) {
  std::vector<std::string> bodies;
  for (const std::string& read : reads) {
    for (std::string& body : bodiesOf(stream.feed(read))) {
      bodies.push_back(std::move(body));
    }
  }
  return bodies;
}

TEST(ReceiveStream, TwoMessagesInOneReadComeOutInOrder) {
  ReceiveStream stream;
  const std::string reads = wrapWithTimestamp("第一", STAMP) + wrapWithTimestamp("second", STAMP);
  EXPECT_EQ(bodiesOf(stream.feed(reads)), (std::vector<std::string>{"第一", "second"}));
  EXPECT_EQ(stream.pendingBytes(), 0u);
}

TEST(ReceiveStream, AMessageSplitAtAnyByteIsCompletedByTheNextRead) {
  const std::string both = wrapWithTimestamp("键盘 A键   按下", STAMP) + wrapWithTimestamp("鼠标 左键放开", STAMP);
  for (std::size_t cut = 0; cut <= both.size(); ++cut) {
    ReceiveStream stream;
    EXPECT_EQ(feedAll(stream, {both.substr(0, cut), both.substr(cut)}),
              (std::vector<std::string>{"键盘 A键   按下", "鼠标 左键放开"}))
        << "cut at byte " << cut;
  }
}

TEST(ReceiveStream, ByteByByteDeliveryLosesNothing) {
  const std::string messages = "10.0.0.9" + wrapWithTimestamp("a", STAMP) + wrapWithTimestamp("乙", STAMP);
  std::vector<std::string> reads;
  for (char byte : messages) {
    reads.emplace_back(1, byte);
  }
  ReceiveStream stream;
  EXPECT_EQ(feedAll(stream, reads), (std::vector<std::string>{"a", "乙"}));
}

TEST(ReceiveStream, GreetingBeforeTheFirstMessageDoesNotHideIt) {
  ReceiveStream stream;
  EXPECT_EQ(feedAll(stream, {"192.168.3.7", wrapWithTimestamp("profile", STAMP)}),
            std::vector<std::string>{"profile"});
}

TEST(ReceiveStream, MalformedPiecesAreSkippedAndTheRestHandled) {
  const std::string noTextHead = std::string(MARK_MESSAGE_HEAD) + "x" + std::string(MARK_MESSAGE_TAIL) +
                                 std::string(MARK_MESSAGE_SEP);
  const std::string threeInnerParts = wrapWithTimestamp(std::string("a").append(MARK_TEXT_INNER_SEP) + "b", STAMP);
  ReceiveStream stream;
  EXPECT_EQ(feedAll(stream, {noTextHead + threeInnerParts + "junk" + std::string(MARK_MESSAGE_SEP) +
                             wrapWithTimestamp("ok", STAMP)}),
            std::vector<std::string>{"ok"});
}

TEST(ReceiveStream, CompleteEnvelopeWithoutSeparatorIsHandledOnceAtOnce) {
  const std::string first = wrapWithTimestamp("first", STAMP);
  const std::string withoutSeparator = first.substr(0, first.size() - MARK_MESSAGE_SEP.size());
  ReceiveStream stream;
  EXPECT_EQ(bodiesOf(stream.feed(withoutSeparator)), std::vector<std::string>{"first"});
  // The separator arrives late, then the next message: nothing is handled twice or lost.
  EXPECT_EQ(feedAll(stream, {std::string(MARK_MESSAGE_SEP), wrapWithTimestamp("second", STAMP)}),
            std::vector<std::string>{"second"});
}

TEST(ReceiveStream, BytesAfterAZeroInAReadAreIgnored) {
  const std::string message = wrapWithTimestamp("kept", STAMP);
  std::string read = message.substr(0, 50);
  read.push_back('\0');
  read += "garbage";
  ReceiveStream stream;
  EXPECT_EQ(feedAll(stream, {read, message.substr(50)}), std::vector<std::string>{"kept"});
}

TEST(ReceiveStream, MarkersOnlyMatchAtCharacterBoundaries) {
  // A lead byte right before the separator swallows its first byte: the separator is not seen
  // there, exactly as splitText would not see it in a whole block.
  const std::string message = wrapWithTimestamp("m", STAMP);
  ReceiveStream stream;
  EXPECT_TRUE(stream.feed("\xB0" + message).empty());
  EXPECT_EQ(bodiesOf(stream.feed(message)), std::vector<std::string>{"m"});
}

TEST(ReceiveStream, OverlongTailIsDroppedAndTheStreamResynchronises) {
  constexpr std::size_t LIMIT = 256;
  ReceiveStream stream(LIMIT);
  for (int i = 0; i < 100; ++i) {
    EXPECT_TRUE(stream.feed(std::string(100, 'z')).empty());
    EXPECT_LE(stream.pendingBytes(), LIMIT + 100);
  }
  // The next separator ends the dropped run; the message after it is handled.
  EXPECT_EQ(feedAll(stream, {"zz" + std::string(MARK_MESSAGE_SEP).substr(0, 10),
                             std::string(MARK_MESSAGE_SEP).substr(10) + wrapWithTimestamp("after", STAMP)}),
            std::vector<std::string>{"after"});
}

TEST(ReceiveStream, OverlongMessageIsDroppedWholeNeverCut) {
  constexpr std::size_t LIMIT = 256;
  ReceiveStream stream(LIMIT);
  const std::string huge = wrapWithTimestamp(std::string(1000, 'h'), STAMP);
  std::vector<std::string> reads;
  for (std::size_t at = 0; at < huge.size(); at += 100) {
    reads.push_back(huge.substr(at, 100));
  }
  reads.push_back(wrapWithTimestamp("small", STAMP));
  EXPECT_EQ(feedAll(stream, reads), std::vector<std::string>{"small"});
}

}  // namespace
}  // namespace zorvi
