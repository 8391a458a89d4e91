#pragma once
// The OLE2 compound file (structured storage, version 3, 512-byte sectors) that carries an Excel
// 97-2003 workbook stream. Writes one stream in the root storage: in the mini stream when it is
// shorter than 4096 bytes, in ordinary sectors otherwise, with DIFAT sectors once the FAT needs
// more than the header's 109 entries. Pure function; never fails.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zorvi::workbook {

inline constexpr std::size_t COMPOUND_SECTOR_SIZE = 512;
inline constexpr std::size_t COMPOUND_MINI_SECTOR_SIZE = 64;
inline constexpr std::size_t COMPOUND_MINI_STREAM_CUTOFF = 4096;

inline constexpr std::uint32_t FREESECT = 0xFFFFFFFF;
inline constexpr std::uint32_t ENDOFCHAIN = 0xFFFFFFFE;
inline constexpr std::uint32_t FATSECT = 0xFFFFFFFD;
inline constexpr std::uint32_t DIFSECT = 0xFFFFFFFC;
inline constexpr std::uint32_t NOSTREAM = 0xFFFFFFFF;

// The whole file: header, FAT, DIFAT, directory, mini FAT, then the stream's sectors. `streamName`
// is at most 31 UTF-16 units (longer names are cut there).
std::vector<std::uint8_t> compoundFile(std::u16string_view streamName, std::span<const std::uint8_t> stream);

}  // namespace zorvi::workbook
