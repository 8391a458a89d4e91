#pragma once
// Little-endian byte output shared by every file format the console writes (bitmap headers,
// workbook records, the compound file around them). Grows its own buffer; never fails short of
// running out of memory.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvi {

class ByteWriter {
 public:
  void u8(std::uint8_t value) { bytes_.push_back(value); }
  void u16(std::uint16_t value) { put(value, 2); }
  void u32(std::uint32_t value) { put(value, 4); }
  void u64(std::uint64_t value) { put(value, 8); }
  void i32(std::int32_t value) { put(static_cast<std::uint32_t>(value), 4); }
  void append(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

  // Text as UTF-16LE code units, no length and no terminator.
  void utf16(std::u16string_view text) {
    for (const char16_t unit : text) {
      u16(static_cast<std::uint16_t>(unit));
    }
  }

  // Overwrites a 16- or 32-bit field written earlier, at byte offset `at`.
  void patchU16(std::size_t at, std::uint16_t value) { patch(at, value, 2); }
  void patchU32(std::size_t at, std::uint32_t value) { patch(at, value, 4); }

  void reserve(std::size_t capacity) { bytes_.reserve(capacity); }
  std::size_t size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  void put(std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
      bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  }
  void patch(std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
      bytes_.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
    }
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace zorvi
