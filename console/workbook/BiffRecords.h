#pragma once
// BIFF8 records of the workbook stream, one writer per record, each appending its 4-byte header
// (type, body length) and its body. The order they go in is the business of assembleWorkbook.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "console/ByteWriter.h"

namespace zorvi::workbook {

// Longest record body; longer data goes on in CONTINUE records.
inline constexpr std::size_t MAX_RECORD_BODY = 8224;

// The XF record every cell uses: the default cell format, after the 15 style XFs.
inline constexpr std::uint16_t DEFAULT_CELL_XF = 15;

enum class BofKind : std::uint16_t { Globals = 0x0005, Worksheet = 0x0010 };

namespace record {
inline constexpr std::uint16_t BOF = 0x0809;
inline constexpr std::uint16_t CODEPAGE = 0x0042;
inline constexpr std::uint16_t WINDOW1 = 0x003D;
inline constexpr std::uint16_t FONT = 0x0031;
inline constexpr std::uint16_t XF = 0x00E0;
inline constexpr std::uint16_t STYLE = 0x0293;
inline constexpr std::uint16_t BOUNDSHEET = 0x0085;
inline constexpr std::uint16_t SST = 0x00FC;
inline constexpr std::uint16_t CONTINUE = 0x003C;
inline constexpr std::uint16_t EXTSST = 0x00FF;
inline constexpr std::uint16_t DIMENSIONS = 0x0200;
inline constexpr std::uint16_t LABELSST = 0x00FD;
inline constexpr std::uint16_t WINDOW2 = 0x023E;
inline constexpr std::uint16_t END_OF_FILE = 0x000A;  // EOF
}  // namespace record

// Writes the header of a record whose body `writeBody(out)` appends, then sets its length.
// The body must not exceed MAX_RECORD_BODY.
template <typename WriteBody>
void writeRecord(ByteWriter& out, std::uint16_t type, WriteBody writeBody) {
  out.u16(type);
  const std::size_t lengthAt = out.size();
  out.u16(0);
  writeBody();
  out.patchU16(lengthAt, static_cast<std::uint16_t>(out.size() - lengthAt - 2));
}

void writeBof(ByteWriter& out, BofKind kind);
// Code page 1200: every string of the file is UTF-16.
void writeCodePage(ByteWriter& out);
void writeWindow1(ByteWriter& out);
// Arial 10, the font every format refers to.
void writeFont(ByteWriter& out);
void writeStyleXf(ByteWriter& out);
void writeCellXf(ByteWriter& out);
// The built-in "Normal" style on XF 0.
void writeNormalStyle(ByteWriter& out);
// A visible worksheet whose BOF starts at `sheetOffset` in the stream. Returns the position of
// that offset field, for the assembler to fill in once the sheet's place is known.
std::size_t writeBoundSheet(ByteWriter& out, std::u16string_view sheetName, std::uint32_t sheetOffset);
// Used rows [0, rowCount) and columns [0, columnCount).
void writeDimensions(ByteWriter& out, std::uint32_t rowCount, std::uint16_t columnCount);
void writeLabelSst(ByteWriter& out, std::uint16_t row, std::uint16_t column, std::uint32_t stringIndex);
void writeWindow2(ByteWriter& out);
void writeEof(ByteWriter& out);

}  // namespace zorvi::workbook
