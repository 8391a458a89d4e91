#include "console/workbook/Workbook.h"

#include <gtest/gtest.h>

#include "console/workbook/BiffRecords.h"

namespace zorvi::workbook {
namespace {

struct Record {
  std::uint16_t type;
  std::size_t offset;
  std::vector<std::uint8_t> body;
};

std::vector<Record> recordsOf(const std::vector<std::uint8_t>& stream) {
  std::vector<Record> records;
  for (std::size_t at = 0; at + 4 <= stream.size();) {
    const auto type = static_cast<std::uint16_t>(stream[at] | stream[at + 1] << 8);
    const std::size_t length = stream[at + 2] | stream[at + 3] << 8;
    const auto body = stream.begin() + static_cast<std::ptrdiff_t>(at + 4);
    records.push_back({type, at, {body, body + static_cast<std::ptrdiff_t>(length)}});
    at += 4 + length;
  }
  return records;
}

TEST(SheetName, ExcelRules) {
  EXPECT_TRUE(isValidSheetName(u"123"));
  EXPECT_TRUE(isValidSheetName(u"客户机列表"));
  EXPECT_TRUE(isValidSheetName(std::u16string(31, u'a')));
  EXPECT_FALSE(isValidSheetName(u""));
  EXPECT_FALSE(isValidSheetName(std::u16string(32, u'a')));
  for (const char16_t* name : {u"a/b", u"a\\b", u"a?", u"*", u"[a]", u"a:b", u"'a", u"a'"}) {
    EXPECT_FALSE(isValidSheetName(name));
  }
}

TEST(AssembleWorkbook, RecordsInFileOrderAndTheSheetWhereBoundSheetSays) {
  auto table = TextTable::withHeadings({u"IP地址", u"端口"});
  ASSERT_TRUE(table);
  ASSERT_TRUE(table->appendRow({u"192.168.1.20", u""}));
  ASSERT_TRUE(table->appendRow({u"192.168.1.20", u"50123"}));
  const auto stream = assembleWorkbook(u"123", *table);
  ASSERT_TRUE(stream);
  const std::vector<Record> records = recordsOf(*stream);

  std::vector<std::uint16_t> expected = {record::BOF, record::CODEPAGE, record::WINDOW1};
  expected.insert(expected.end(), 5, record::FONT);
  expected.insert(expected.end(), 16, record::XF);
  expected.insert(expected.end(), {record::STYLE, record::BOUNDSHEET, record::SST, record::EXTSST,
                                   record::END_OF_FILE, record::BOF, record::DIMENSIONS});
  expected.insert(expected.end(), 5, record::LABELSST);  // the empty cell has none
  expected.insert(expected.end(), {record::WINDOW2, record::END_OF_FILE});
  std::vector<std::uint16_t> types;
  for (const Record& r : records) {
    types.push_back(r.type);
  }
  ASSERT_EQ(types, expected);

  const Record& boundSheet = records[25];
  const std::size_t sheetOffset = boundSheet.body[0] | boundSheet.body[1] << 8 | boundSheet.body[2] << 16;
  EXPECT_EQ(sheetOffset, records[29].offset);
  EXPECT_EQ(records[29].body[2], 0x10);  // a worksheet BOF

  const Record& sst = records[26];
  EXPECT_EQ(sst.body[0], 5);  // five cell references
  EXPECT_EQ(sst.body[4], 4);  // four distinct texts: the repeated address is stored once
  const Record& lastCell = records[35];
  EXPECT_EQ(lastCell.body, (std::vector<std::uint8_t>{2, 0, 1, 0, 15, 0, 3, 0, 0, 0}));  // row 2, column 1, text 3
}

TEST(AssembleWorkbook, RefusesASheetNameExcelWouldNot) {
  const auto table = TextTable::withHeadings({u"h"});
  ASSERT_TRUE(table);
  EXPECT_FALSE(assembleWorkbook(u"a:b", *table));
  EXPECT_FALSE(workbookFile(u"", *table));
}

}  // namespace
}  // namespace zorvi::workbook
