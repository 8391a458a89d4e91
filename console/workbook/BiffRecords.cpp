#include "console/workbook/BiffRecords.h"

namespace zorvi::workbook {
namespace {

constexpr std::uint16_t BIFF8_VERSION = 0x0600;
constexpr std::uint16_t BUILD_ID = 0x0DBB;
constexpr std::uint16_t BUILD_YEAR = 0x07CC;
constexpr std::uint16_t CODE_PAGE_UTF16 = 1200;
constexpr std::uint8_t STRING_UTF16 = 0x01;  // option flags: uncompressed 16-bit characters

constexpr std::uint16_t FONT_HEIGHT_TWIPS = 200;
constexpr std::uint16_t FONT_WEIGHT_NORMAL = 400;
constexpr std::uint16_t COLOUR_AUTOMATIC = 0x7FFF;
constexpr std::string_view FONT_NAME = "Arial";

// XF bits: locked; for style XFs also the style flag and "no parent" (0xFFF).
constexpr std::uint16_t XF_STYLE_PROTECTION = 0xFFF5;
constexpr std::uint16_t XF_CELL_PROTECTION = 0x0001;
constexpr std::uint8_t XF_ALIGN_BOTTOM = 0x20;
// Style XFs 1 to 14 leave number, font, alignment, border, pattern and protection to the cells.
constexpr std::uint8_t XF_STYLE_ATTRIBUTES_UNUSED = 0xF4;
// Pattern colours: system foreground 64 and system background 65.
constexpr std::uint16_t XF_PATTERN_COLOURS = 64 | (65 << 7);

constexpr std::uint16_t WINDOW1_WIDTH_TWIPS = 0x4000;
constexpr std::uint16_t WINDOW1_HEIGHT_TWIPS = 0x2000;
constexpr std::uint16_t WINDOW1_SCROLL_BARS_AND_TABS = 0x0038;
constexpr std::uint16_t WINDOW1_TAB_RATIO = 600;
// Grid lines, headers, zeros, outline symbols shown; the sheet selected and active.
constexpr std::uint16_t WINDOW2_FLAGS = 0x06B6;
constexpr std::uint16_t WINDOW2_GRID_COLOUR = 64;

void writeXf(ByteWriter& out, std::uint16_t protection, std::uint8_t unusedAttributes) {
  writeRecord(out, record::XF, [&] {
    out.u16(0);  // font 0
    out.u16(0);  // number format General
    out.u16(protection);
    out.u8(XF_ALIGN_BOTTOM);
    out.u8(0);  // no rotation
    out.u8(0);  // no indent
    out.u8(unusedAttributes);
    out.u32(0);  // no borders
    out.u32(0);  // no fill pattern
    out.u16(XF_PATTERN_COLOURS);
  });
}

}  // namespace

void writeBof(ByteWriter& out, BofKind kind) {
  writeRecord(out, record::BOF, [&] {
    out.u16(BIFF8_VERSION);
    out.u16(static_cast<std::uint16_t>(kind));
    out.u16(BUILD_ID);
    out.u16(BUILD_YEAR);
    out.u32(0);  // file history flags
    out.u32(6);  // lowest BIFF version that can read the file
  });
}

void writeCodePage(ByteWriter& out) {
  writeRecord(out, record::CODEPAGE, [&] { out.u16(CODE_PAGE_UTF16); });
}

void writeWindow1(ByteWriter& out) {
  writeRecord(out, record::WINDOW1, [&] {
    out.u16(0);  // left
    out.u16(0);  // top
    out.u16(WINDOW1_WIDTH_TWIPS);
    out.u16(WINDOW1_HEIGHT_TWIPS);
    out.u16(WINDOW1_SCROLL_BARS_AND_TABS);
    out.u16(0);  // active sheet
    out.u16(0);  // first visible tab
    out.u16(1);  // selected sheets
    out.u16(WINDOW1_TAB_RATIO);
  });
}

void writeFont(ByteWriter& out) {
  writeRecord(out, record::FONT, [&] {
    out.u16(FONT_HEIGHT_TWIPS);
    out.u16(0);  // not italic, not struck out
    out.u16(COLOUR_AUTOMATIC);
    out.u16(FONT_WEIGHT_NORMAL);
    out.u16(0);  // no super- or subscript
    out.u8(0);   // no underline
    out.u8(0);   // font family: don't care
    out.u8(0);   // character set: ANSI
    out.u8(0);
    out.u8(static_cast<std::uint8_t>(FONT_NAME.size()));
    out.u8(0);  // 8-bit characters
    for (const char c : FONT_NAME) {
      out.u8(static_cast<std::uint8_t>(c));
    }
  });
}

void writeStyleXf(ByteWriter& out) {
  writeXf(out, XF_STYLE_PROTECTION, XF_STYLE_ATTRIBUTES_UNUSED);
}

void writeCellXf(ByteWriter& out) {
  writeXf(out, XF_CELL_PROTECTION, 0);
}

void writeNormalStyle(ByteWriter& out) {
  writeRecord(out, record::STYLE, [&] {
    out.u16(0x8000);  // built-in style on XF 0
    out.u8(0);        // built-in style 0: Normal
    out.u8(0xFF);     // no outline level
  });
}

std::size_t writeBoundSheet(ByteWriter& out, std::u16string_view sheetName, std::uint32_t sheetOffset) {
  std::size_t offsetAt = 0;
  writeRecord(out, record::BOUNDSHEET, [&] {
    offsetAt = out.size();
    out.u32(sheetOffset);
    out.u8(0);  // visible
    out.u8(0);  // worksheet
    out.u8(static_cast<std::uint8_t>(sheetName.size()));
    out.u8(STRING_UTF16);
    out.utf16(sheetName);
  });
  return offsetAt;
}

void writeDimensions(ByteWriter& out, std::uint32_t rowCount, std::uint16_t columnCount) {
  writeRecord(out, record::DIMENSIONS, [&] {
    out.u32(0);
    out.u32(rowCount);
    out.u16(0);
    out.u16(columnCount);
    out.u16(0);
  });
}

void writeLabelSst(ByteWriter& out, std::uint16_t row, std::uint16_t column, std::uint32_t stringIndex) {
  writeRecord(out, record::LABELSST, [&] {
    out.u16(row);
    out.u16(column);
    out.u16(DEFAULT_CELL_XF);
    out.u32(stringIndex);
  });
}

void writeWindow2(ByteWriter& out) {
  writeRecord(out, record::WINDOW2, [&] {
    out.u16(WINDOW2_FLAGS);
    out.u16(0);  // top row shown
    out.u16(0);  // left column shown
    out.u16(WINDOW2_GRID_COLOUR);
    out.u16(0);
    out.u16(0);  // zoom in page break preview: default
    out.u16(0);  // zoom in normal view: default
    out.u32(0);
  });
}

void writeEof(ByteWriter& out) {
  writeRecord(out, record::END_OF_FILE, [] {});
}

}  // namespace zorvi::workbook
