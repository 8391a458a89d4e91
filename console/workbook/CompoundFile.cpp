#include "console/workbook/CompoundFile.h"

#include <algorithm>

#include "console/ByteWriter.h"

namespace zorvi::workbook {
namespace {

constexpr std::uint8_t SIGNATURE[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t FAT_ENTRIES_PER_SECTOR = COMPOUND_SECTOR_SIZE / 4;
constexpr std::size_t HEADER_DIFAT_ENTRIES = 109;
constexpr std::size_t DIFAT_ENTRIES_PER_SECTOR = FAT_ENTRIES_PER_SECTOR - 1;  // the last one chains
constexpr std::size_t DIRECTORY_ENTRY_SIZE = 128;
constexpr std::size_t DIRECTORY_ENTRIES_PER_SECTOR = COMPOUND_SECTOR_SIZE / DIRECTORY_ENTRY_SIZE;
constexpr std::size_t MAX_ENTRY_NAME_UNITS = 31;

constexpr std::uint8_t TYPE_STREAM = 2;
constexpr std::uint8_t TYPE_ROOT = 5;
constexpr std::uint8_t COLOUR_BLACK = 1;

std::size_t sectorsFor(std::size_t bytes, std::size_t sectorSize) {
  return (bytes + sectorSize - 1) / sectorSize;
}

std::uint32_t sectorId(std::size_t index) {
  return static_cast<std::uint32_t>(index);
}

// Where every part of the file starts, in sectors after the header.
struct SectorPlan {
  bool inMiniStream = false;
  std::size_t miniSectors = 0;
  std::size_t fatSectors = 0;
  std::size_t difatSectors = 0;
  std::size_t miniFatSectors = 0;
  std::size_t dataSectors = 0;

  std::size_t firstDifat() const { return fatSectors; }
  std::size_t directory() const { return fatSectors + difatSectors; }
  std::size_t firstMiniFat() const { return directory() + 1; }
  std::size_t firstData() const { return firstMiniFat() + miniFatSectors; }
  std::size_t total() const { return firstData() + dataSectors; }
};

SectorPlan planSectors(std::size_t streamSize) {
  SectorPlan plan;
  plan.inMiniStream = streamSize < COMPOUND_MINI_STREAM_CUTOFF;
  if (plan.inMiniStream) {
    plan.miniSectors = sectorsFor(streamSize, COMPOUND_MINI_SECTOR_SIZE);
    plan.miniFatSectors = sectorsFor(plan.miniSectors * 4, COMPOUND_SECTOR_SIZE);
    plan.dataSectors = sectorsFor(plan.miniSectors * COMPOUND_MINI_SECTOR_SIZE, COMPOUND_SECTOR_SIZE);
  } else {
    plan.dataSectors = sectorsFor(streamSize, COMPOUND_SECTOR_SIZE);
  }
  // The FAT covers itself and the DIFAT sectors that list it: grow both until they settle.
  for (;;) {
    const std::size_t fatNeeded = sectorsFor(plan.total(), FAT_ENTRIES_PER_SECTOR);
    const std::size_t difatNeeded =
        fatNeeded > HEADER_DIFAT_ENTRIES ? sectorsFor(fatNeeded - HEADER_DIFAT_ENTRIES, DIFAT_ENTRIES_PER_SECTOR) : 0;
    if (fatNeeded == plan.fatSectors && difatNeeded == plan.difatSectors) {
      return plan;
    }
    plan.fatSectors = fatNeeded;
    plan.difatSectors = difatNeeded;
  }
}

void chain(std::vector<std::uint32_t>& table, std::size_t first, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    table[first + i] = i + 1 < count ? sectorId(first + i + 1) : ENDOFCHAIN;
  }
}

void writeHeader(ByteWriter& out, const SectorPlan& plan) {
  out.append(SIGNATURE);
  out.zeros(16);     // class id
  out.u16(0x003E);   // minor version
  out.u16(0x0003);   // major version 3: 512-byte sectors
  out.u16(0xFFFE);   // little-endian
  out.u16(9);        // sector size 2^9
  out.u16(6);        // mini sector size 2^6
  out.zeros(6);
  out.u32(0);        // directory sectors: always 0 in version 3
  out.u32(sectorId(plan.fatSectors));
  out.u32(sectorId(plan.directory()));
  out.u32(0);        // transactions unsupported
  out.u32(static_cast<std::uint32_t>(COMPOUND_MINI_STREAM_CUTOFF));
  out.u32(plan.miniFatSectors > 0 ? sectorId(plan.firstMiniFat()) : ENDOFCHAIN);
  out.u32(sectorId(plan.miniFatSectors));
  out.u32(plan.difatSectors > 0 ? sectorId(plan.firstDifat()) : ENDOFCHAIN);
  out.u32(sectorId(plan.difatSectors));
  for (std::size_t i = 0; i < HEADER_DIFAT_ENTRIES; ++i) {
    out.u32(i < plan.fatSectors ? sectorId(i) : FREESECT);
  }
}

void writeFat(ByteWriter& out, const SectorPlan& plan) {
  std::vector<std::uint32_t> fat(plan.fatSectors * FAT_ENTRIES_PER_SECTOR, FREESECT);
  std::fill_n(fat.begin(), plan.fatSectors, FATSECT);
  std::fill_n(fat.begin() + static_cast<std::ptrdiff_t>(plan.firstDifat()), plan.difatSectors, DIFSECT);
  chain(fat, plan.directory(), 1);
  chain(fat, plan.firstMiniFat(), plan.miniFatSectors);
  chain(fat, plan.firstData(), plan.dataSectors);
  for (const std::uint32_t entry : fat) {
    out.u32(entry);
  }
}

void writeDifat(ByteWriter& out, const SectorPlan& plan) {
  std::size_t nextFat = HEADER_DIFAT_ENTRIES;
  for (std::size_t sector = 0; sector < plan.difatSectors; ++sector) {
    for (std::size_t i = 0; i < DIFAT_ENTRIES_PER_SECTOR; ++i, ++nextFat) {
      out.u32(nextFat < plan.fatSectors ? sectorId(nextFat) : FREESECT);
    }
    out.u32(sector + 1 < plan.difatSectors ? sectorId(plan.firstDifat() + sector + 1) : ENDOFCHAIN);
  }
}

void writeDirectoryEntry(ByteWriter& out, std::u16string_view name, std::uint8_t type, std::uint32_t child,
                         std::uint32_t start, std::uint64_t size) {
  const std::size_t begin = out.size();
  out.utf16(name);
  out.zeros(64 - name.size() * 2);
  out.u16(static_cast<std::uint16_t>((name.size() + 1) * 2));  // with the terminating zero
  out.u8(type);
  out.u8(COLOUR_BLACK);
  out.u32(NOSTREAM);  // left sibling
  out.u32(NOSTREAM);  // right sibling
  out.u32(child);
  out.zeros(16 + 4 + 8 + 8);  // class id, state bits, creation and modification times
  out.u32(start);
  out.u64(size);
  out.zeros(DIRECTORY_ENTRY_SIZE - (out.size() - begin));
}

void writeUnusedDirectoryEntry(ByteWriter& out) {
  out.zeros(0x44);
  out.u32(NOSTREAM);
  out.u32(NOSTREAM);
  out.u32(NOSTREAM);
  out.zeros(DIRECTORY_ENTRY_SIZE - 0x50);
}

void writeDirectory(ByteWriter& out, const SectorPlan& plan, std::u16string_view streamName, std::size_t streamSize) {
  const bool hasData = streamSize > 0;
  const std::uint32_t dataStart = hasData ? sectorId(plan.firstData()) : ENDOFCHAIN;
  const std::uint64_t miniStreamSize = plan.miniSectors * COMPOUND_MINI_SECTOR_SIZE;
  writeDirectoryEntry(out, u"Root Entry", TYPE_ROOT, 1, plan.inMiniStream && hasData ? dataStart : ENDOFCHAIN,
                      plan.inMiniStream ? miniStreamSize : 0);
  writeDirectoryEntry(out, streamName, TYPE_STREAM, NOSTREAM, plan.inMiniStream && hasData ? 0 : dataStart,
                      streamSize);
  for (std::size_t i = 2; i < DIRECTORY_ENTRIES_PER_SECTOR; ++i) {
    writeUnusedDirectoryEntry(out);
  }
}

void writeMiniFat(ByteWriter& out, const SectorPlan& plan) {
  std::vector<std::uint32_t> miniFat(plan.miniFatSectors * FAT_ENTRIES_PER_SECTOR, FREESECT);
  chain(miniFat, 0, plan.miniSectors);
  for (const std::uint32_t entry : miniFat) {
    out.u32(entry);
  }
}

}  // namespace

std::vector<std::uint8_t> compoundFile(std::u16string_view streamName, std::span<const std::uint8_t> stream) {
  const SectorPlan plan = planSectors(stream.size());
  ByteWriter out;
  out.reserve(COMPOUND_SECTOR_SIZE * (1 + plan.total()));
  writeHeader(out, plan);
  writeFat(out, plan);
  writeDifat(out, plan);
  writeDirectory(out, plan, streamName.substr(0, MAX_ENTRY_NAME_UNITS), stream.size());
  writeMiniFat(out, plan);
  out.append(stream);
  out.zeros(COMPOUND_SECTOR_SIZE * (1 + plan.total()) - out.size());
  return out.take();
}

}  // namespace zorvi::workbook
