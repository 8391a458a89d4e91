#include "console/SaveDialog.h"

#include <gtest/gtest.h>

#include "console/MessageBoxes.h"

namespace zorvi {
namespace {

using namespace std::string_literals;

TEST(ZeroSeparatedFilter, BarsBecomeZerosAndTheListEndsWithTwo) {
  EXPECT_EQ(zeroSeparatedFilter("Excel文件(*.xls)|*.xls"), "Excel文件(*.xls)\0*.xls\0\0"s);
  EXPECT_EQ(zeroSeparatedFilter("A|*.a|B|*.b"), "A\0*.a\0B\0*.b\0\0"s);
}

TEST(ZeroSeparatedFilter, BarInsideATwoByteCharacterStays) {
  // 81 7C is one GBK character whose second byte is "|".
  EXPECT_EQ(zeroSeparatedFilter("\x81|x|*.x"), "\x81|x\0*.x\0\0"s);
}

TEST(MessageTitle, BoxWithoutATitleOfItsOwnShowsTheDefault) {
  EXPECT_EQ(messageTitle(""), "信息：");
  EXPECT_EQ(messageTitle("失败"), "失败");
}

}  // namespace
}  // namespace zorvi
