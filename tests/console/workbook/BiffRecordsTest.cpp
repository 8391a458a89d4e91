#include "console/workbook/BiffRecords.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/console/HexBytes.h"

namespace zorvi::workbook {
namespace {

struct RecordCase {
  const char* name;
  std::function<void(ByteWriter&)> write;
  const char* hex;
};

class RecordBytesTest : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordBytesTest, WritesExactlyTheseBytes) {
  ByteWriter out;
  GetParam().write(out);
  EXPECT_EQ(out.bytes(), test::hexBytes(GetParam().hex));
}

INSTANTIATE_TEST_SUITE_P(
    Records, RecordBytesTest,
    testing::Values(
        RecordCase{"BofGlobals", [](auto& out) { writeBof(out, BofKind::Globals); },
                   "0908 1000 0006 0500 BB0D CC07 00000000 06000000"},
        RecordCase{"BofWorksheet", [](auto& out) { writeBof(out, BofKind::Worksheet); },
                   "0908 1000 0006 1000 BB0D CC07 00000000 06000000"},
        RecordCase{"CodePage", [](auto& out) { writeCodePage(out); }, "4200 0200 B004"},
        RecordCase{"Window1", [](auto& out) { writeWindow1(out); },
                   "3D00 1200 0000 0000 0040 0020 3800 0000 0000 0100 5802"},
        RecordCase{"Font", [](auto& out) { writeFont(out); },
                   "3100 1500 C800 0000 FF7F 9001 0000 00 00 00 00 05 00 417269616C"},
        RecordCase{"StyleXf", [](auto& out) { writeStyleXf(out); },
                   "E000 1400 0000 0000 F5FF 20 00 00 F4 00000000 00000000 C020"},
        RecordCase{"CellXf", [](auto& out) { writeCellXf(out); },
                   "E000 1400 0000 0000 0100 20 00 00 00 00000000 00000000 C020"},
        RecordCase{"NormalStyle", [](auto& out) { writeNormalStyle(out); }, "9302 0400 0080 00 FF"},
        RecordCase{"BoundSheet", [](auto& out) { writeBoundSheet(out, u"123", 0x1234); },
                   "8500 0E00 34120000 00 00 03 01 3100 3200 3300"},
        RecordCase{"BoundSheetChinese", [](auto& out) { writeBoundSheet(out, u"清单", 0); },
                   "8500 0C00 00000000 00 00 02 01 056E 5553"},
        RecordCase{"Dimensions", [](auto& out) { writeDimensions(out, 1001, 11); },
                   "0002 0E00 00000000 E9030000 0000 0B00 0000"},
        RecordCase{"LabelSst", [](auto& out) { writeLabelSst(out, 2, 3, 0x10007); },
                   "FD00 0A00 0200 0300 0F00 07000100"},
        RecordCase{"Window2", [](auto& out) { writeWindow2(out); },
                   "3E02 1200 B606 0000 0000 4000 0000 0000 0000 00000000"},
        RecordCase{"Eof", [](auto& out) { writeEof(out); }, "0A00 0000"}),
    [](const testing::TestParamInfo<RecordCase>& param) { return param.param.name; });

TEST(BoundSheet, ReturnsWhereTheSheetOffsetGoes) {
  ByteWriter out;
  writeEof(out);
  const std::size_t offsetAt = writeBoundSheet(out, u"123", 0);
  EXPECT_EQ(offsetAt, 8u);
  out.patchU32(offsetAt, 0xA1B2C3D4);
  EXPECT_EQ(out.bytes(), test::hexBytes("0A00 0000 8500 0E00 D4C3B2A1 00 00 03 01 3100 3200 3300"));
}

}  // namespace
}  // namespace zorvi::workbook
