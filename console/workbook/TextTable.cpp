#include "console/workbook/TextTable.h"

#include <algorithm>
#include <utility>

namespace zorvi::workbook {
namespace {

bool textsFitCells(const std::vector<std::u16string>& texts) {
  return std::ranges::all_of(texts, [](const std::u16string& text) { return text.size() <= CELL_MAX_CHARACTERS; });
}

}  // namespace

TextTable::TextTable(std::vector<std::u16string> headings) {
  rows_.push_back(std::move(headings));
}

std::optional<TextTable> TextTable::withHeadings(std::vector<std::u16string> headings) {
  if (headings.empty() || headings.size() > SHEET_MAX_COLUMNS || !textsFitCells(headings)) {
    return std::nullopt;
  }
  return TextTable(std::move(headings));
}

bool TextTable::appendRow(std::vector<std::u16string> cells) {
  if (cells.size() != columnCount() || rows_.size() >= SHEET_MAX_ROWS || !textsFitCells(cells)) {
    return false;
  }
  rows_.push_back(std::move(cells));
  return true;
}

}  // namespace zorvi::workbook
