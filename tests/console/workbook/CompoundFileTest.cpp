#include "console/workbook/CompoundFile.h"

#include <gtest/gtest.h>

#include "tests/console/HexBytes.h"

namespace zorvi::workbook {
namespace {

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16) |
         static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

std::size_t sectorOffset(std::size_t sector) {
  return 512 * (sector + 1);
}

std::vector<std::uint8_t> patterned(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  }
  return bytes;
}

// Header fields: FAT sectors, first directory sector, first mini FAT sector, mini FAT sectors,
// first DIFAT sector, DIFAT sectors.
void expectHeader(const std::vector<std::uint8_t>& file, std::uint32_t fat, std::uint32_t directory,
                  std::uint32_t miniFat, std::uint32_t miniFatCount, std::uint32_t difat, std::uint32_t difatCount) {
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 0x2C),
            test::hexBytes("D0CF11E0A1B11AE1 00000000000000000000000000000000 3E00 0300 FEFF 0900 0600"
                           "000000000000 00000000"));
  EXPECT_EQ(u32At(file, 0x2C), fat);
  EXPECT_EQ(u32At(file, 0x30), directory);
  EXPECT_EQ(u32At(file, 0x34), 0u);
  EXPECT_EQ(u32At(file, 0x38), 4096u);
  EXPECT_EQ(u32At(file, 0x3C), miniFat);
  EXPECT_EQ(u32At(file, 0x40), miniFatCount);
  EXPECT_EQ(u32At(file, 0x44), difat);
  EXPECT_EQ(u32At(file, 0x48), difatCount);
}

TEST(CompoundFile, SmallStreamLivesInTheMiniStream) {
  const auto stream = patterned(100);
  const auto file = compoundFile(u"Workbook", stream);
  ASSERT_EQ(file.size(), 512u + 4 * 512);  // FAT, directory, mini FAT, mini stream
  expectHeader(file, 1, 1, 2, 1, ENDOFCHAIN, 0);
  EXPECT_EQ(u32At(file, 0x4C), 0u);  // the one FAT sector
  EXPECT_EQ(u32At(file, 0x50), FREESECT);

  const std::size_t fat = sectorOffset(0);
  EXPECT_EQ(u32At(file, fat), FATSECT);
  EXPECT_EQ(u32At(file, fat + 4), ENDOFCHAIN);   // directory
  EXPECT_EQ(u32At(file, fat + 8), ENDOFCHAIN);   // mini FAT
  EXPECT_EQ(u32At(file, fat + 12), ENDOFCHAIN);  // mini stream
  EXPECT_EQ(u32At(file, fat + 16), FREESECT);

  const std::size_t directory = sectorOffset(1);
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + directory, file.begin() + directory + 22),
            test::hexBytes("52006F006F007400200045006E00740072007900 0000"));  // "Root Entry"
  EXPECT_EQ(file[directory + 0x40], 22);
  EXPECT_EQ(file[directory + 0x42], 5);       // root storage
  EXPECT_EQ(u32At(file, directory + 0x4C), 1u);  // its child: the stream
  EXPECT_EQ(u32At(file, directory + 0x74), 3u);  // the mini stream's first sector
  EXPECT_EQ(u32At(file, directory + 0x78), 128u);
  const std::size_t entry = directory + 128;
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + entry, file.begin() + entry + 18),
            test::hexBytes("57006F0072006B0062006F006F006B000000"));  // "Workbook"
  EXPECT_EQ(file[entry + 0x40], 18);
  EXPECT_EQ(file[entry + 0x42], 2);  // stream
  EXPECT_EQ(u32At(file, entry + 0x44), NOSTREAM);
  EXPECT_EQ(u32At(file, entry + 0x48), NOSTREAM);
  EXPECT_EQ(u32At(file, entry + 0x4C), NOSTREAM);
  EXPECT_EQ(u32At(file, entry + 0x74), 0u);  // mini sector 0
  EXPECT_EQ(u32At(file, entry + 0x78), 100u);
  EXPECT_EQ(u32At(file, directory + 256 + 0x44), NOSTREAM);  // unused entries point nowhere
  EXPECT_EQ(file[directory + 256 + 0x42], 0);

  const std::size_t miniFat = sectorOffset(2);
  EXPECT_EQ(u32At(file, miniFat), 1u);
  EXPECT_EQ(u32At(file, miniFat + 4), ENDOFCHAIN);
  EXPECT_EQ(u32At(file, miniFat + 8), FREESECT);
  EXPECT_TRUE(std::equal(stream.begin(), stream.end(), file.begin() + sectorOffset(3)));
}

TEST(CompoundFile, StreamOfTheCutoffSizeUsesOrdinarySectors) {
  const auto stream = patterned(4096);
  const auto file = compoundFile(u"Workbook", stream);
  ASSERT_EQ(file.size(), 512u + 10 * 512);  // FAT, directory, 8 data sectors
  expectHeader(file, 1, 1, ENDOFCHAIN, 0, ENDOFCHAIN, 0);
  const std::size_t fat = sectorOffset(0);
  for (std::uint32_t sector = 2; sector < 9; ++sector) {
    EXPECT_EQ(u32At(file, fat + 4 * sector), sector + 1);
  }
  EXPECT_EQ(u32At(file, fat + 4 * 9), ENDOFCHAIN);
  const std::size_t directory = sectorOffset(1);
  EXPECT_EQ(u32At(file, directory + 0x74), ENDOFCHAIN);  // no mini stream
  EXPECT_EQ(u32At(file, directory + 0x78), 0u);
  EXPECT_EQ(u32At(file, directory + 128 + 0x74), 2u);
  EXPECT_EQ(u32At(file, directory + 128 + 0x78), 4096u);
  EXPECT_TRUE(std::equal(stream.begin(), stream.end(), file.begin() + sectorOffset(2)));
}

TEST(CompoundFile, FatBeyondTheHeaderIsListedInADifatSector) {
  // 13,952 data sectors need 110 FAT sectors: one more than the header can list.
  const auto stream = patterned(109 * 128 * 512);
  const auto file = compoundFile(u"Workbook", stream);
  expectHeader(file, 110, 111, ENDOFCHAIN, 0, 110, 1);
  ASSERT_EQ(file.size(), 512u * (1 + 110 + 1 + 1 + 13'952));
  EXPECT_EQ(u32At(file, 0x4C + 4 * 108), 108u);
  const std::size_t difat = sectorOffset(110);
  EXPECT_EQ(u32At(file, difat), 109u);
  EXPECT_EQ(u32At(file, difat + 4), FREESECT);
  EXPECT_EQ(u32At(file, difat + 508), ENDOFCHAIN);
  EXPECT_EQ(u32At(file, sectorOffset(0) + 4 * 109), FATSECT);
  EXPECT_EQ(u32At(file, sectorOffset(0) + 4 * 110), DIFSECT);
  EXPECT_EQ(u32At(file, sectorOffset(0) + 4 * 111), ENDOFCHAIN);  // directory
  const std::size_t lastData = 112 + 13'951;
  EXPECT_EQ(u32At(file, sectorOffset(lastData / 128) + 4 * (lastData % 128)), ENDOFCHAIN);
  EXPECT_TRUE(std::equal(stream.begin(), stream.end(), file.begin() + sectorOffset(112)));
}

}  // namespace
}  // namespace zorvi::workbook
