// The workbook writer over arbitrary cell texts: any number of columns, cells of any length (long
// ones run over several string-table records), GBK text as the export decodes it or any well-formed UTF-16.
// Every workbook written must open in libfreexl with one sheet of that name and that shape, every
// text cell reading back as written and every empty one blank.
//
// libfreexl 1.0.6 completes a shared string that was split over records from the next record only,
// so it misreads any string spanning three records or more (xlrd reads them right; the format
// allows any number). A string of up to 4112 characters spans two at most, wherever it starts:
// tables with longer cells are still written (under the sanitizers) but not read back here; the
// console's read-back tests cover long cells with xlrd.

#include <freexl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "console/posix/GbkIconv.h"
#include "console/workbook/Workbook.h"
#include "fuzz/FuzzSupport.h"

namespace {

using namespace zorvi;
using zorvi::fuzz::require;

constexpr std::size_t FREEXL_LONGEST_STRING = 4112;  // characters that never span three records

// Two bytes per UTF-16 unit, with every lone surrogate made U+FFFD: the export only ever hands the
// writer well-formed text (code page 936 has no surrogates), and readers need not agree on text
// that is not.
std::u16string rawUtf16(std::string_view bytes) {
  std::u16string units;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                          static_cast<unsigned char>(bytes[at + 1]) << 8));
  }
  const auto isHigh = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto isLow = [](char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  for (std::size_t at = 0; at < units.size(); ++at) {
    if (isHigh(units[at]) && at + 1 < units.size() && isLow(units[at + 1])) {
      ++at;
    } else if (isHigh(units[at]) || isLow(units[at])) {
      units[at] = u'\uFFFD';
    }
  }
  return units;
}

// UTF-8 of well-formed UTF-16; nothing for text with a zero character, which a reader that hands
// out C strings cannot give back.
std::optional<std::string> utf8Of(std::u16string_view text) {
  if (text.find(u'\0') != std::u16string_view::npos) {
    return std::nullopt;
  }
  std::string utf8;
  for (std::size_t at = 0; at < text.size(); ++at) {
    char32_t code = text[at];
    if (code >= 0xD800 && code <= 0xDBFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++at] - 0xDC00);
    }
    if (code < 0x80) {
      utf8.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | code >> 6));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      utf8.push_back(static_cast<char>(0xE0 | code >> 12));
      utf8.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xF0 | code >> 18));
      utf8.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return utf8;
}

struct FreexlCloser {
  void operator()(const void* handle) const { freexl_close(handle); }
};

const std::filesystem::path& workbookPath() {
  static const std::filesystem::path path =
      (std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
      ("zorvi-fuzz-workbook-" + std::to_string(getpid()) + ".xls");
  return path;
}

void checkReadBack(const std::vector<std::uint8_t>& file, std::u16string_view sheetName,
                   const workbook::TextTable& table) {
  std::ofstream(workbookPath(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  const void* raw = nullptr;
  require(freexl_open(workbookPath().c_str(), &raw) == FREEXL_OK, "libfreexl opens the workbook");
  const std::unique_ptr<const void, FreexlCloser> handle(raw);
  unsigned int sheets = 0;
  require(freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheets) == FREEXL_OK && sheets == 1, "one sheet");
  const char* name = nullptr;
  require(freexl_get_worksheet_name(raw, 0, &name) == FREEXL_OK, "the sheet has a name");
  if (const auto expected = utf8Of(sheetName)) {
    require(name != nullptr && *expected == name, "the sheet name reads back");
  }
  require(freexl_select_active_worksheet(raw, 0) == FREEXL_OK, "the sheet can be selected");
  unsigned int rows = 0;
  unsigned short columns = 0;
  require(freexl_worksheet_dimensions(raw, &rows, &columns) == FREEXL_OK, "the sheet has dimensions");
  require(rows == table.rowCount() && columns == table.columnCount(), "the sheet has the table's shape");
  for (unsigned int row = 0; row < rows; ++row) {
    for (unsigned short column = 0; column < columns; ++column) {
      FreeXL_CellValue cell{};
      require(freexl_get_cell_value(raw, row, column, &cell) == FREEXL_OK, "every cell reads");
      const std::u16string& text = table.row(row)[column];
      if (text.empty()) {
        require(cell.type == FREEXL_CELL_NULL, "an empty text is a blank cell");
        continue;
      }
      require(cell.type == FREEXL_CELL_SST_TEXT || cell.type == FREEXL_CELL_TEXT, "a text is a text cell");
      if (const auto expected = utf8Of(text)) {
        require(*expected == cell.value.text_value, "a text cell reads back as written");
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvi::fuzz::FuzzBytes input(data, size);
  const std::size_t columns = 1 + input.takeByte();
  const std::size_t repeats = 1 + input.takeByte() % 32;
  const std::uint8_t flags = input.takeByte();
  const auto decode = [raw = (flags & 1) != 0](std::string_view bytes) {
    return raw ? rawUtf16(bytes) : utf16FromGbkIconv(bytes);
  };
  const std::u16string sheetName = (flags & 2) ? decode(input.takeUntil('\t')) : u"123";

  std::vector<std::u16string> cells;
  while (!input.empty()) {
    const std::u16string once = decode(input.takeUntil('\t'));
    std::u16string text;
    for (std::size_t i = 0; i < repeats && text.size() + once.size() <= workbook::CELL_MAX_CHARACTERS; ++i) {
      text += once;
    }
    cells.push_back(std::move(text));
  }
  cells.resize((std::max<std::size_t>(cells.size(), 1) + columns - 1) / columns * columns);

  auto table = workbook::TextTable::withHeadings({cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(columns)});
  require(table.has_value(), "any heading texts within the cell limit make a table");
  for (auto row = cells.begin() + static_cast<std::ptrdiff_t>(columns); row != cells.end();
       row += static_cast<std::ptrdiff_t>(columns)) {
    require(table->appendRow({row, row + static_cast<std::ptrdiff_t>(columns)}), "a full row within the limits fits");
  }

  const auto file = workbook::workbookFile(sheetName, *table);
  require(file.has_value() == workbook::isValidSheetName(sheetName), "any valid sheet name gives a workbook");
  const bool freexlReadsAll = std::all_of(cells.begin(), cells.end(), [](const std::u16string& text) {
    return text.size() <= FREEXL_LONGEST_STRING;
  });
  if (file && freexlReadsAll) {
    checkReadBack(*file, sheetName, *table);
  }
  return 0;
}
