#include "protocol/TextPrimitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace zorvi {
namespace {

// "啊" is B0 A1 in GBK; "丂" is 81 40 and "丄" 81 41, whose trail bytes are ASCII '@' and 'A'.
constexpr std::string_view TWO_AH = "\xB0\xA1\xB0\xA1";

TEST(FindText, MatchesOnlyWhereACharacterBegins) {
  EXPECT_EQ(findText(TWO_AH, "\xA1\xB0"), TEXT_NOT_FOUND);  // bytes 1-2 straddle two characters
  EXPECT_EQ(findText("\x81\x41" "A", "A"), 2u);             // the trail byte 0x41 is not an 'A'
  EXPECT_EQ(findText("\x81\x40@", "@"), 2u);
  EXPECT_EQ(findText(TWO_AH, "\xB0\xA1", 2), 2u);
  // A start inside a character reads its trail byte as a lead byte and steps on from there.
  EXPECT_EQ(findText(TWO_AH, "\xB0\xA1", 1), TEXT_NOT_FOUND);
}

TEST(FindText, PlainSearches) {
  EXPECT_EQ(findText("abcabc", "bc"), 1u);
  EXPECT_EQ(findText("abcabc", "bc", 2), 4u);
  EXPECT_EQ(findText("abc", "abcd"), TEXT_NOT_FOUND);
  EXPECT_EQ(findText("ABC", "b"), TEXT_NOT_FOUND);  // case-sensitive
  EXPECT_EQ(findText("abc", "c", 3), TEXT_NOT_FOUND);
  EXPECT_EQ(findText("", "a"), TEXT_NOT_FOUND);
}

TEST(FindText, LeadByteAtTheEndEndsTheSearch) {
  EXPECT_EQ(findText("ab\xB0", "\xB0"), 2u);  // a match at the lead byte itself is still found
  EXPECT_EQ(findText("a\xB0", "x"), TEXT_NOT_FOUND);
}

struct SplitCase {
  const char* name;
  std::string_view text;
  std::string_view separator;
  std::vector<std::string> pieces;
  friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class SplitText : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitText, GivesThePieces) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(splitText(c.text, c.separator), c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitText,
    ::testing::Values(SplitCase{"empty_text", "", ",", {}}, SplitCase{"empty_separator", "a,b", "", {"a,b"}},
                      SplitCase{"no_separator", "abc", ",", {"abc"}},
                      SplitCase{"trailing_separator_gives_no_last_piece", "A--B--", "--", {"A", "B"}},
                      SplitCase{"leading_separator_gives_empty_first", "--A", "--", {"", "A"}},
                      SplitCase{"adjacent_separators_give_empty_piece", "A----B", "--", {"A", "", "B"}},
                      SplitCase{"only_separator", "--", "--", {""}},
                      SplitCase{"separator_inside_character_ignored", "\xB0\xA1\xB0\xA1", "\xA1\xB0",
                                {"\xB0\xA1\xB0\xA1"}},
                      SplitCase{"chinese_separator", "甲：乙：丙", "：", {"甲", "乙", "丙"}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(TextBetween, FirstHeadThenFirstTailAfterIt) {
  EXPECT_EQ(textBetween("<a>x</a><a>y</a>", "<a>", "</a>"), "x");
  EXPECT_EQ(textBetween("</a><a>x</a>", "<a>", "</a>"), "x");  // a tail before the head does not count
  EXPECT_EQ(textBetween("<a></a>", "<a>", "</a>"), "");
  EXPECT_EQ(textBetween("<a>no tail", "<a>", "</a>"), "");
  EXPECT_EQ(textBetween("no head</a>", "<a>", "</a>"), "");
}

TEST(ReplaceText, ReplacesEveryMatchFromTheLeftWithoutOverlap) {
  EXPECT_EQ(replaceText("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(replaceText("AMD Ryzen 7", "Ryzen ", "R"), "AMD R7");
  EXPECT_EQ(replaceText("T o b e", " ", ""), "Tobe");
  EXPECT_EQ(replaceText("\x81\x41" "A", "A", ""), "\x81\x41");
}

TEST(TextBeforeZero, CutsAtTheFirstZeroByte) {
  using namespace std::string_view_literals;
  EXPECT_EQ(textBeforeZero("ab\0cd"sv), "ab");
  EXPECT_EQ(textBeforeZero("abc"sv), "abc");
  EXPECT_EQ(textBeforeZero("\0abc"sv), "");
}

TEST(ReadDecimal, ReadsLikeStrtodAndGivesZeroForText) {
  EXPECT_DOUBLE_EQ(readDecimal("0.520833"), 0.520833);
  EXPECT_DOUBLE_EQ(readDecimal("  -1.5e2xyz"), -150.0);
  EXPECT_DOUBLE_EQ(readDecimal("+7"), 7.0);
  EXPECT_DOUBLE_EQ(readDecimal("8589934592\r"), 8589934592.0);
  EXPECT_DOUBLE_EQ(readDecimal("abc"), 0.0);
  EXPECT_DOUBLE_EQ(readDecimal(""), 0.0);
  EXPECT_DOUBLE_EQ(readDecimal("-"), 0.0);
  EXPECT_TRUE(std::isinf(readDecimal("1e400")));
}

TEST(FormatGeneral, WritesLikePrintfG) {
  EXPECT_EQ(formatGeneral(0.5, 6), "0.5");
  EXPECT_EQ(formatGeneral(0.0, 6), "0");
  EXPECT_EQ(formatGeneral(1.0, 6), "1");
  EXPECT_EQ(formatGeneral(1.0 / 3.0, 6), "0.333333");
  EXPECT_EQ(formatGeneral(1234567.0, 6), "1.23457e+06");
  EXPECT_EQ(formatGeneral(8.0, 13), "8");
  EXPECT_EQ(formatGeneral(1.5, 13), "1.5");
}

}  // namespace
}  // namespace zorvi
