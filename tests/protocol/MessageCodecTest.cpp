#include "protocol/MessageCodec.h"

#include <gtest/gtest.h>

#include "protocol/Markers.h"
#include "protocol/Payloads.h"
#include "tests/protocol/HexBytes.h"

namespace zorvi {
namespace {

using MessageCodec::parseTextMessage;
using MessageCodec::splitBlock;
using MessageCodec::wrapWithTimestamp;

constexpr std::string_view STAMP = "1700000000123";

std::string contentOf(std::string_view body) {
  return std::string(MARK_TEXT_HEAD).append(STAMP).append(MARK_TEXT_INNER_SEP).append(body).append(MARK_TEXT_TAIL);
}

TEST(Wrap, InputMessageHasExactlyTheWireBytes) {
  const InputEvent event{0.5f, 1000.0f / 1920.0f, "键盘 A键   按下"};
  const std::string expected = test::bytesFromHex(
      "A1BE5B267A6F727669CFFBCFA2CDB7265DA1BFA1BE5B267A6F727669CEC4B1BECFFBCFA2CDB7265DA1BF313730303030"
      "30303030313233A1BE5B267A6F727669CEC4B1BECFFBCFA2C4DAB7D6B8EE265DA1BFA1BE5B267A6F727669BCFCCAF3B2"
      "CECAFDB1EACAB6265DA1BF7A6F727669BCFCCAF3BFD8D6C62DCAF3B1EACBAEC6BDCEBBD6C3A3BA302E35A1BE5B267A6F"
      "727669BCFCCAF3B2CECAFDCAFDBEDDB7D6B8EE265DA1BF7A6F727669BCFCCAF3BFD8D6C62DCAF3B1EAB4B9D6B1CEBBD6"
      "C3A3BA302E353230383333A1BE5B267A6F727669BCFCCAF3B2CECAFDCAFDBEDDB7D6B8EE265DA1BF7A6F727669BCFCCA"
      "F3BFD8D6C62DB0B4BCFCD7B4CCACA3BABCFCC5CC2041BCFC202020B0B4CFC2A1BE5B267A6F727669CEC4B1BECFFBCFA2"
      "CEB2265DA1BFA1BE5B267A6F727669CFFBCFA2CEB2265DA1BFA1BE5B267A6F727669CEC4B1BECFFBCFA2B7D6B8EE265D"
      "A1BF");
  EXPECT_EQ(wrapWithTimestamp(inputBody(event), STAMP), expected);
}

TEST(Wrap, MessageIs149BytesPlusBodyAndRoundTrips) {
  for (const std::string_view body : {std::string_view("x"), std::string_view("操作员的文字\r\n第二行")}) {
    const std::string message = MessageCodec::wrap(body);
    EXPECT_EQ(message.size(), 149 + body.size());
    const auto contents = splitBlock(message);
    ASSERT_EQ(contents.size(), 1u);
    const auto parsed = parseTextMessage(contents[0]);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->body, body);
    EXPECT_EQ(parsed->timestamp.size(), 13u);
  }
}

TEST(Timestamp, SecondsThenThreeMillisecondDigitsPaddedTo13) {
  EXPECT_EQ(MessageCodec::formatTimestamp({1700000000, 7}), "1700000000007");
  EXPECT_EQ(MessageCodec::formatTimestamp({1700000000, 999}), "1700000000999");
  EXPECT_EQ(MessageCodec::formatTimestamp({999999999, 42}), "9999999990420");  // before Sept 2001
  EXPECT_EQ(MessageCodec::formatTimestamp({12345678901, 5}), "12345678901005");  // longer is kept whole
  EXPECT_EQ(MessageCodec::makeTimestamp().size(), 13u);
}

TEST(Timestamp, CountsFromLocalEightOClock) {
  EXPECT_EQ(secondsSinceLocalEpoch(1970, 1, 1, 8, 0, 1), 1);
  EXPECT_EQ(secondsSinceLocalEpoch(2023, 11, 15, 6, 13, 20), 1700000000);  // Unix time at UTC+8
  EXPECT_EQ(secondsSinceLocalEpoch(1970, 1, 1, 0, 0, 0), 0);  // before the origin: clamped
}

TEST(SplitBlock, CutsEveryCompleteMessageInOrder) {
  const std::string a = wrapWithTimestamp("A", STAMP);
  const std::string b = wrapWithTimestamp("B", STAMP);
  EXPECT_EQ(splitBlock(a + b), (std::vector<std::string>{contentOf("A"), contentOf("B")}));
}

TEST(SplitBlock, DropsHalvesAndMalformedPieces) {
  const std::string a = wrapWithTimestamp("A", STAMP);
  const std::string b = wrapWithTimestamp("B", STAMP);
  const std::string firstHalfOfB = b.substr(0, 60);
  EXPECT_EQ(splitBlock(a + firstHalfOfB), std::vector<std::string>{contentOf("A")});
  EXPECT_TRUE(splitBlock(b.substr(60)).empty());

  const std::string noTextHead = std::string(MARK_MESSAGE_HEAD) + "junk" + std::string(MARK_MESSAGE_TAIL) +
                                 std::string(MARK_MESSAGE_SEP);
  EXPECT_EQ(splitBlock(noTextHead + a), std::vector<std::string>{contentOf("A")});
}

TEST(SplitBlock, KeepsAMessageWithoutItsTrailingSeparatorAndIgnoresBytesAfterZero) {
  const std::string a = wrapWithTimestamp("A", STAMP);
  const std::string withoutSeparator = a.substr(0, a.size() - MARK_MESSAGE_SEP.size());
  EXPECT_EQ(splitBlock(withoutSeparator), std::vector<std::string>{contentOf("A")});

  std::string block = a;
  block.push_back('\0');
  block += wrapWithTimestamp("B", STAMP);
  EXPECT_EQ(splitBlock(block), std::vector<std::string>{contentOf("A")});
}

TEST(ParseTextMessage, NeedsExactlyTwoInnerParts) {
  EXPECT_EQ(parseTextMessage(contentOf("hello")), (TextMessage{std::string(STAMP), "hello"}));
  EXPECT_FALSE(parseTextMessage(contentOf("")));  // inner ends with the separator: one part
  EXPECT_FALSE(parseTextMessage(contentOf(std::string("a").append(MARK_TEXT_INNER_SEP).append("b"))));
  EXPECT_FALSE(parseTextMessage("no markers at all"));
}

TEST(ParseTextMessage, BodyIsCutAtAnEmbeddedTextTail) {
  const std::string body = std::string("before").append(MARK_TEXT_TAIL).append("after");
  const auto parsed = parseTextMessage(contentOf(body));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->body, "before");
}

TEST(ParseTextMessage, TakesTheFirstMessageOfAWholeBlock) {
  const std::string block = "10.0.0.1" + wrapWithTimestamp("first", STAMP) + wrapWithTimestamp("second", STAMP);
  const auto parsed = parseTextMessage(block);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->body, "first");
}

}  // namespace
}  // namespace zorvi
