#pragma once
// An Excel 97-2003 workbook (.xls) with one worksheet holding a TextTable, every cell a text from
// the shared string table; an empty text leaves its cell blank. Pure functions.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "console/workbook/TextTable.h"

namespace zorvi::workbook {

// A name Excel accepts for a sheet: 1 to 31 characters, none of \ / ? * [ ] :, not starting or
// ending with an apostrophe.
bool isValidSheetName(std::u16string_view name);

// The BIFF8 workbook stream, records in file order: the globals, then the worksheet. Empty when
// the sheet name is not valid or the stream would outgrow the format's 32-bit offsets.
std::optional<std::vector<std::uint8_t>> assembleWorkbook(std::u16string_view sheetName, const TextTable& table);

// The whole file: the workbook stream inside a compound file, under the name "Workbook".
std::optional<std::vector<std::uint8_t>> workbookFile(std::u16string_view sheetName, const TextTable& table);

}  // namespace zorvi::workbook
