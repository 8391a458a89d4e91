#include "console/workbook/TextTable.h"

#include <gtest/gtest.h>

namespace zorvi::workbook {
namespace {

std::vector<std::u16string> texts(std::size_t count, std::size_t length = 1) {
  return std::vector<std::u16string>(count, std::u16string(length, u'字'));
}

TEST(TextTable, HeadingsMustFormASheet) {
  EXPECT_FALSE(TextTable::withHeadings({}));
  EXPECT_FALSE(TextTable::withHeadings(texts(SHEET_MAX_COLUMNS + 1)));
  EXPECT_FALSE(TextTable::withHeadings(texts(1, CELL_MAX_CHARACTERS + 1)));
  EXPECT_TRUE(TextTable::withHeadings(texts(SHEET_MAX_COLUMNS)));
  EXPECT_TRUE(TextTable::withHeadings(texts(1, CELL_MAX_CHARACTERS)));
}

TEST(TextTable, RowMustMatchTheColumnsAndFitItsCells) {
  auto table = TextTable::withHeadings(texts(3));
  ASSERT_TRUE(table);
  EXPECT_FALSE(table->appendRow(texts(2)));
  EXPECT_FALSE(table->appendRow(texts(4)));
  EXPECT_FALSE(table->appendRow({u"a", u"", std::u16string(CELL_MAX_CHARACTERS + 1, u'x')}));
  EXPECT_EQ(table->rowCount(), 1u);
  EXPECT_TRUE(table->appendRow({u"a", u"", std::u16string(CELL_MAX_CHARACTERS, u'x')}));
  EXPECT_EQ(table->rowCount(), 2u);
  EXPECT_EQ(table->row(1)[0], u"a");
}

TEST(TextTable, SheetHoldsAtMostItsRowLimitHeadingIncluded) {
  auto table = TextTable::withHeadings({u"h"});
  ASSERT_TRUE(table);
  for (std::size_t row = 1; row < SHEET_MAX_ROWS; ++row) {
    ASSERT_TRUE(table->appendRow({u""}));
  }
  EXPECT_FALSE(table->appendRow({u""}));
  EXPECT_EQ(table->rowCount(), SHEET_MAX_ROWS);
}

}  // namespace
}  // namespace zorvi::workbook
