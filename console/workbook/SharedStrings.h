#pragma once
// The shared string table (SST) of a workbook: every distinct cell text once, cells referring to
// it by index, and the EXTSST index Excel uses to find strings quickly. Strings are written as
// uncompressed UTF-16; a table longer than one record goes on in CONTINUE records, a string split
// between two records resuming with its option flags byte, never inside a character.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "console/ByteWriter.h"

namespace zorvi::workbook {

class SharedStrings {
 public:
  // The index of `text`, adding it on its first use; every call counts as one reference.
  std::uint32_t use(const std::u16string& text);

  std::uint32_t references() const { return references_; }
  std::size_t uniqueCount() const { return inOrder_.size(); }
  std::u16string_view at(std::size_t index) const { return *inOrder_[index]; }

 private:
  std::unordered_map<std::u16string, std::uint32_t> indexOf_;
  std::vector<const std::u16string*> inOrder_;  // keys of indexOf_, which never move
  std::uint32_t references_ = 0;
};

// Where one EXTSST bucket's first string begins: its position in the stream and its offset inside
// the SST or CONTINUE record holding it, counted from that record's header.
struct SstBucket {
  std::uint32_t streamPosition = 0;
  std::uint16_t recordOffset = 0;
};

// Strings per EXTSST bucket: at least 8, and few enough buckets (128) for one small record.
std::uint16_t extSstBucketSize(std::size_t uniqueCount);

// Writes SST and its CONTINUE records; returns where each bucket of `bucketSize` strings begins.
std::vector<SstBucket> writeSst(ByteWriter& out, const SharedStrings& strings, std::uint16_t bucketSize);

void writeExtSst(ByteWriter& out, std::uint16_t bucketSize, const std::vector<SstBucket>& buckets);

}  // namespace zorvi::workbook
