#include "console/workbook/Workbook.h"

#include <limits>

#include "console/ByteWriter.h"
#include "console/workbook/BiffRecords.h"
#include "console/workbook/CompoundFile.h"
#include "console/workbook/SharedStrings.h"

namespace zorvi::workbook {
namespace {

constexpr std::size_t MAX_SHEET_NAME = 31;
constexpr std::u16string_view SHEET_NAME_FORBIDDEN = u"\\/?*[]:";
// Readers skip font index 4, so five records give the fonts 0 to 3 and 5 that Excel's own files
// start with; every XF here uses font 0.
constexpr int FONT_RECORDS = 5;
constexpr int STYLE_XF_RECORDS = 15;
constexpr std::uint32_t NO_STRING = std::numeric_limits<std::uint32_t>::max();

// The string index of every cell, row by row; NO_STRING for an empty text, whose cell stays blank
// (xlrd reads both alike, but libfreexl will not open a workbook whose string table holds an
// empty string).
std::vector<std::uint32_t> shareCellTexts(const TextTable& table, SharedStrings& strings) {
  std::vector<std::uint32_t> indexes;
  indexes.reserve(table.rowCount() * table.columnCount());
  for (std::size_t row = 0; row < table.rowCount(); ++row) {
    for (const std::u16string& text : table.row(row)) {
      indexes.push_back(text.empty() ? NO_STRING : strings.use(text));
    }
  }
  return indexes;
}

void writeGlobals(ByteWriter& out, std::u16string_view sheetName, const SharedStrings& strings,
                  std::size_t& sheetOffsetAt) {
  writeBof(out, BofKind::Globals);
  writeCodePage(out);
  writeWindow1(out);
  for (int i = 0; i < FONT_RECORDS; ++i) {
    writeFont(out);
  }
  for (int i = 0; i < STYLE_XF_RECORDS; ++i) {
    writeStyleXf(out);
  }
  writeCellXf(out);
  writeNormalStyle(out);
  sheetOffsetAt = writeBoundSheet(out, sheetName, 0);
  const std::uint16_t bucketSize = extSstBucketSize(strings.uniqueCount());
  writeExtSst(out, bucketSize, writeSst(out, strings, bucketSize));
  writeEof(out);
}

void writeSheet(ByteWriter& out, const TextTable& table, const std::vector<std::uint32_t>& stringIndexes) {
  writeBof(out, BofKind::Worksheet);
  writeDimensions(out, static_cast<std::uint32_t>(table.rowCount()), static_cast<std::uint16_t>(table.columnCount()));
  std::size_t cell = 0;
  for (std::size_t row = 0; row < table.rowCount(); ++row) {
    for (std::size_t column = 0; column < table.columnCount(); ++column, ++cell) {
      if (stringIndexes[cell] != NO_STRING) {
        writeLabelSst(out, static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(column), stringIndexes[cell]);
      }
    }
  }
  writeWindow2(out);
  writeEof(out);
}

}  // namespace

bool isValidSheetName(std::u16string_view name) {
  return !name.empty() && name.size() <= MAX_SHEET_NAME && name.find_first_of(SHEET_NAME_FORBIDDEN) == name.npos &&
         name.front() != u'\'' && name.back() != u'\'';
}

std::optional<std::vector<std::uint8_t>> assembleWorkbook(std::u16string_view sheetName, const TextTable& table) {
  if (!isValidSheetName(sheetName)) {
    return std::nullopt;
  }
  SharedStrings strings;
  const std::vector<std::uint32_t> stringIndexes = shareCellTexts(table, strings);
  ByteWriter out;
  std::size_t sheetOffsetAt = 0;
  writeGlobals(out, sheetName, strings, sheetOffsetAt);
  out.patchU32(sheetOffsetAt, static_cast<std::uint32_t>(out.size()));
  writeSheet(out, table, stringIndexes);
  if (out.size() > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return out.take();
}

std::optional<std::vector<std::uint8_t>> workbookFile(std::u16string_view sheetName, const TextTable& table) {
  const auto stream = assembleWorkbook(sheetName, table);
  if (!stream) {
    return std::nullopt;
  }
  return compoundFile(u"Workbook", *stream);
}

}  // namespace zorvi::workbook
