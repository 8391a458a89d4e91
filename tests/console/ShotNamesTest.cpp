#include "console/ShotNames.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zorvi {
namespace {

struct FolderCase {
  const char* desktop;
  const char* userName;
  const char* folder;
};

class TestDataFolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(TestDataFolderTest, JoinsDesktopUserAndSuffix) {
  EXPECT_EQ(testDataFolder(GetParam().desktop, GetParam().userName), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, TestDataFolderTest,
    testing::Values(FolderCase{"C:\\Users\\Admin\\Desktop", "Admin", "C:\\Users\\Admin\\Desktop\\Admin测试数据"},
                    FolderCase{"C:\\Users\\Admin\\Desktop", "", "C:\\Users\\Admin\\Desktop\\测试数据"},
                    FolderCase{"D:\\", "Admin", "D:\\Admin测试数据"},  // already ends in "\"
                    FolderCase{"C:\\Users\\张三\\Desktop", "张三", "C:\\Users\\张三\\Desktop\\张三测试数据"},
                    // "乗" is 81 5C in GBK: its second byte is not a backslash, so one is appended
                    FolderCase{"D:\\\x81\x5C", "Admin", "D:\\\x81\x5C\\Admin测试数据"},
                    FolderCase{"D:\\\x81\x5C\\", "Admin", "D:\\\x81\x5C\\Admin测试数据"}));

TEST(ShotStamp, SecondsThenThreeZerosNeverPadded) {
  EXPECT_EQ(formatShotStamp(1), "1000");  // local 1970-01-01 08:00:01
  EXPECT_EQ(formatShotStamp(0), "0000");
  // Before 2001-09-09 local time the count has nine digits and the stamp twelve characters.
  const std::int64_t lastNineDigitSecond = secondsSinceLocalEpoch(2001, 9, 9, 9, 46, 39);
  EXPECT_EQ(lastNineDigitSecond, 999'999'999);
  EXPECT_EQ(formatShotStamp(lastNineDigitSecond), "999999999000");
  EXPECT_EQ(formatShotStamp(secondsSinceLocalEpoch(2001, 9, 9, 9, 46, 40)), "1000000000000");
}

TEST(ShotStamp, TodayHasThirteenDigitsFromTheLocalClock) {
  const std::int64_t before = readLocalClock().seconds;
  const std::string stamp = shotStamp();
  const std::int64_t after = readLocalClock().seconds;
  ASSERT_EQ(stamp.size(), 13u);
  EXPECT_TRUE(std::all_of(stamp.begin(), stamp.end(), [](char c) { return c >= '0' && c <= '9'; }));
  EXPECT_TRUE(stamp.ends_with("000"));
  const std::int64_t seconds = std::stoll(stamp.substr(0, 10));
  EXPECT_GE(seconds, before);
  EXPECT_LE(seconds, after);
}

TEST(ShotFilePath, FolderBackslashStampAndPngExtension) {
  EXPECT_EQ(shotFilePath("C:\\Users\\Admin\\Desktop\\Admin测试数据", "1000"),
            "C:\\Users\\Admin\\Desktop\\Admin测试数据\\1000.png");
}

}  // namespace
}  // namespace zorvi
