#pragma once
// The content of the one worksheet an export writes: a heading row and rows of text cells, held
// within the limits of an Excel 97-2003 sheet so that whatever it accepts can be written.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zorvi::workbook {

inline constexpr std::size_t SHEET_MAX_ROWS = 65536;  // the heading row included
inline constexpr std::size_t SHEET_MAX_COLUMNS = 256;
inline constexpr std::size_t CELL_MAX_CHARACTERS = 32767;  // UTF-16 units Excel keeps in a cell

class TextTable {
 public:
  // A table whose first row holds `headings`. Empty when there are no headings, more than
  // SHEET_MAX_COLUMNS, or one is longer than CELL_MAX_CHARACTERS.
  static std::optional<TextTable> withHeadings(std::vector<std::u16string> headings);

  // Appends one row. False, the table unchanged, when the row has not exactly one text per
  // column, a text is longer than CELL_MAX_CHARACTERS, or the sheet already has SHEET_MAX_ROWS.
  bool appendRow(std::vector<std::u16string> cells);

  std::size_t columnCount() const { return rows_.front().size(); }
  std::size_t rowCount() const { return rows_.size(); }  // the heading row included
  const std::vector<std::u16string>& row(std::size_t index) const { return rows_[index]; }

 private:
  explicit TextTable(std::vector<std::u16string> headings);

  std::vector<std::vector<std::u16string>> rows_;
};

}  // namespace zorvi::workbook
