#include "console/BitmapFile.h"

#include <gtest/gtest.h>

#include "tests/console/HexBytes.h"

namespace zorvi {
namespace {

struct LayoutCase {
  std::int32_t width;
  std::int32_t height;
  int colourDepth;
  std::uint16_t bitsPerPixel;
  std::uint32_t rowBytes;
  std::uint32_t paletteBytes;
  std::uint32_t fileSize;
};

class BitmapLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(BitmapLayoutTest, MatchesHandComputedSizes) {
  const LayoutCase& c = GetParam();
  const auto layout = bitmapLayout(c.width, c.height, c.colourDepth);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->bitsPerPixel, c.bitsPerPixel);
  EXPECT_EQ(layout->rowBytes, c.rowBytes);
  EXPECT_EQ(layout->paletteBytes(), c.paletteBytes);
  EXPECT_EQ(layout->pixelOffset(), 54 + c.paletteBytes);
  EXPECT_EQ(layout->fileSize(), c.fileSize);
}

INSTANTIATE_TEST_SUITE_P(
    Displays, BitmapLayoutTest,
    testing::Values(LayoutCase{1920, 1080, 24, 24, 5760, 0, 6'220'854},   // 54 + 1080 rows of 5,760
                    LayoutCase{1920, 1080, 32, 24, 5760, 0, 6'220'854},   // 32-bit display, 24-bit file
                    LayoutCase{1366, 768, 32, 24, 4100, 0, 3'148'854},    // 4,098 bytes padded to 4,100
                    LayoutCase{1366, 768, 16, 24, 4100, 0, 3'148'854},    // 16-bit display, 24-bit file
                    LayoutCase{640, 480, 8, 8, 640, 1024, 308'278},       // 256 palette entries
                    LayoutCase{3, 2, 4, 4, 4, 64, 126},                   // 16 entries; 12 bits padded to 4 bytes
                    LayoutCase{33, 1, 1, 1, 8, 8, 70},                    // 2 entries; 33 bits take two words
                    LayoutCase{1, 1, 0, 1, 4, 8, 66},                     // depth 0 counts as 1
                    LayoutCase{5, 1, 2, 4, 4, 64, 122},                   // depth 2 gives 4 bits
                    LayoutCase{5, 1, 6, 8, 8, 1024, 1086}));              // depth 6 gives 8 bits

TEST(BitmapLayout, EmptyOrOversizedAreasHaveNoLayout) {
  EXPECT_FALSE(bitmapLayout(0, 1080, 32));
  EXPECT_FALSE(bitmapLayout(1920, 0, 32));
  EXPECT_FALSE(bitmapLayout(-5, 10, 32));
  EXPECT_FALSE(bitmapLayout(100'000, 100'000, 32));  // 30 GB does not fit the 32-bit size field
}

TEST(BitmapHeaders, FullHdScreenHasTheExactFileAndInformationHeaders) {
  const auto layout = bitmapLayout(1920, 1080, 32);
  ASSERT_TRUE(layout);
  EXPECT_EQ(bitmapHeaders(*layout), test::hexBytes("424D 36EC5E00 0000 0000 36000000"
                                                   "28000000 80070000 38040000 0100 1800 00000000 00000000"
                                                   "00000000 00000000 00000000 00000000"));
}

TEST(BitmapHeaders, PaletteMovesThePixelOffset) {
  const auto layout = bitmapLayout(640, 480, 8);
  ASSERT_TRUE(layout);
  EXPECT_EQ(bitmapHeaders(*layout), test::hexBytes("424D 36B40400 0000 0000 36040000"
                                                   "28000000 80020000 E0010000 0100 0800 00000000 00000000"
                                                   "00000000 00000000 00000000 00000000"));
}

class MemorySink final : public ByteSink {
 public:
  bool write(std::span<const std::uint8_t> bytes) override {
    if (failAfter == writes++) {
      return false;
    }
    data.insert(data.end(), bytes.begin(), bytes.end());
    return true;
  }
  std::vector<std::uint8_t> data;
  int writes = 0;
  int failAfter = -1;
};

TEST(WriteBitmapFile, WritesHeadersPaletteAndRowsExactlyAsLongAsTheSizeField) {
  const auto layout = bitmapLayout(3, 2, 4);
  ASSERT_TRUE(layout);
  std::vector<std::uint8_t> palette(64);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    palette[i] = static_cast<std::uint8_t>(i);
  }
  const std::vector<std::uint8_t> pixels = {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0};  // bottom row first
  MemorySink sink;
  ASSERT_TRUE(writeBitmapFile(sink, *layout, palette, pixels));
  ASSERT_EQ(sink.data.size(), 126u);
  EXPECT_EQ(std::vector<std::uint8_t>(sink.data.begin(), sink.data.begin() + 54), bitmapHeaders(*layout));
  EXPECT_EQ(std::vector<std::uint8_t>(sink.data.begin() + 54, sink.data.begin() + 118), palette);
  EXPECT_EQ(std::vector<std::uint8_t>(sink.data.begin() + 118, sink.data.end()), pixels);
}

TEST(WriteBitmapFile, RefusesPixelsOrPaletteOfTheWrongSizeWithoutWriting) {
  const auto layout = bitmapLayout(4, 4, 32);
  ASSERT_TRUE(layout);
  MemorySink sink;
  EXPECT_FALSE(writeBitmapFile(sink, *layout, {}, std::vector<std::uint8_t>(47)));
  EXPECT_FALSE(writeBitmapFile(sink, *layout, std::vector<std::uint8_t>(8), std::vector<std::uint8_t>(48)));
  EXPECT_TRUE(sink.data.empty());
}

TEST(WriteBitmapFile, ReportsASinkThatStopsWriting) {
  const auto layout = bitmapLayout(4, 4, 32);
  ASSERT_TRUE(layout);
  MemorySink sink;
  sink.failAfter = 1;  // headers go, pixels do not
  EXPECT_FALSE(writeBitmapFile(sink, *layout, {}, std::vector<std::uint8_t>(48)));
}

}  // namespace
}  // namespace zorvi
