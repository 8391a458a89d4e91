#include "console/workbook/SharedStrings.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "console/workbook/BiffRecords.h"
#include "tests/console/HexBytes.h"

namespace zorvi::workbook {
namespace {

std::uint16_t u16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

TEST(SharedStrings, KeepsEachTextOnceAndCountsEveryUse) {
  SharedStrings strings;
  EXPECT_EQ(strings.use(u"a"), 0u);
  EXPECT_EQ(strings.use(u"测"), 1u);
  EXPECT_EQ(strings.use(u"a"), 0u);
  EXPECT_EQ(strings.references(), 3u);
  EXPECT_EQ(strings.uniqueCount(), 2u);
  EXPECT_EQ(strings.at(1), u"测");
}

TEST(Sst, SmallTableIsOneRecordOfUtf16Strings) {
  SharedStrings strings;
  strings.use(u"a");
  strings.use(u"测");
  strings.use(u"a");
  ByteWriter out;
  const auto buckets = writeSst(out, strings, 8);
  EXPECT_EQ(out.bytes(), test::hexBytes("FC00 1200 03000000 02000000 0100 01 6100 0100 01 4B6D"));
  ASSERT_EQ(buckets.size(), 1u);
  EXPECT_EQ(buckets[0].streamPosition, 12u);
  EXPECT_EQ(buckets[0].recordOffset, 12u);
}

TEST(Sst, StringLongerThanTheRecordGoesOnInAContinueWithItsOptionByte) {
  SharedStrings strings;
  strings.use(std::u16string(5000, u'x'));
  ByteWriter out;
  writeSst(out, strings, 8);
  const auto& bytes = out.bytes();
  // 8 counts + 3 header + 4,106 characters = 8,223 bytes: no room for half a character.
  EXPECT_EQ(u16At(bytes, 0), 0x00FC);
  EXPECT_EQ(u16At(bytes, 2), 8223);
  const std::size_t next = 4 + 8223;
  EXPECT_EQ(u16At(bytes, next), 0x003C);
  EXPECT_EQ(u16At(bytes, next + 2), 1 + 894 * 2);
  EXPECT_EQ(bytes.at(next + 4), 0x01);  // the rest is still UTF-16
  EXPECT_EQ(u16At(bytes, next + 5), u'x');
  EXPECT_EQ(bytes.size(), next + 4 + 1 + 894 * 2);
}

TEST(Sst, StringHeaderAndFirstCharacterAreNeverSplit) {
  SharedStrings strings;
  strings.use(std::u16string(4105, u'x'));  // leaves 3 bytes: a header fits but no character
  strings.use(u"yz");
  ByteWriter out;
  const auto buckets = writeSst(out, strings, 1);
  const auto& bytes = out.bytes();
  EXPECT_EQ(u16At(bytes, 2), 8221);
  const std::size_t next = 4 + 8221;
  const std::vector<std::uint8_t> continued(bytes.begin() + static_cast<std::ptrdiff_t>(next), bytes.end());
  EXPECT_EQ(continued, test::hexBytes("3C00 0700 0200 01 7900 7A00"));  // no option byte before a new string
  ASSERT_EQ(buckets.size(), 2u);
  EXPECT_EQ(buckets[1].streamPosition, next + 4);
  EXPECT_EQ(buckets[1].recordOffset, 4u);
}

TEST(Sst, EveryRecordStaysWithinTheLimitAndEveryBucketStartsInOne) {
  SharedStrings strings;
  for (int i = 0; i < 3000; ++i) {
    strings.use(std::u16string(static_cast<std::size_t>(i % 37 + 1), static_cast<char16_t>(u'甲' + i)));
  }
  strings.use(std::u16string(20000, u'长'));
  ByteWriter out;
  out.zeros(100);  // the table's position in the stream shows in the bucket positions
  const auto buckets = writeSst(out, strings, extSstBucketSize(strings.uniqueCount()));
  const auto& bytes = out.bytes();

  std::vector<std::size_t> recordStarts;
  for (std::size_t at = 100; at < bytes.size();) {
    const std::uint16_t length = u16At(bytes, at + 2);
    EXPECT_LE(length, MAX_RECORD_BODY);
    EXPECT_EQ(u16At(bytes, at), recordStarts.empty() ? 0x00FC : 0x003C);
    recordStarts.push_back(at);
    at += 4 + length;
  }
  EXPECT_GT(recordStarts.size(), 10u);
  for (const SstBucket& bucket : buckets) {
    const std::size_t recordStart = bucket.streamPosition - bucket.recordOffset;
    EXPECT_NE(std::find(recordStarts.begin(), recordStarts.end(), recordStart), recordStarts.end());
    EXPECT_EQ(bytes.at(bucket.streamPosition + 2), 0x01);  // a string header: length, then UTF-16 flag
  }
  EXPECT_EQ(buckets.size(), (strings.uniqueCount() + 23) / 24);  // 3,001 strings, 24 per bucket
}

TEST(ExtSst, BucketSizeKeepsTheIndexSmall) {
  EXPECT_EQ(extSstBucketSize(0), 8);
  EXPECT_EQ(extSstBucketSize(1024), 8);
  EXPECT_EQ(extSstBucketSize(1025), 9);
  EXPECT_EQ(extSstBucketSize(11'000), 86);
  EXPECT_EQ(extSstBucketSize(100'000'000), 0xFFFF);
}

TEST(ExtSst, WritesBucketSizeAndEachBucketStart) {
  ByteWriter out;
  writeExtSst(out, 8, {{12, 12}, {0x12345, 0x0102}});
  EXPECT_EQ(out.bytes(), test::hexBytes("FF00 1200 0800 0C000000 0C00 0000 45230100 0201 0000"));
}

}  // namespace
}  // namespace zorvi::workbook
