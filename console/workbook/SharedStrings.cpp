#include "console/workbook/SharedStrings.h"

#include <algorithm>

#include "console/workbook/BiffRecords.h"

namespace zorvi::workbook {
namespace {

constexpr std::uint8_t STRING_UTF16 = 0x01;
constexpr std::size_t STRING_HEADER = 3;  // character count and option flags
constexpr std::size_t MIN_BUCKET_SIZE = 8;
constexpr std::size_t MAX_BUCKETS = 128;

// Writes one logical record that may run over several physical ones: the first with its own
// type, the rest as CONTINUE, each body at most MAX_RECORD_BODY bytes.
class ContinuedRecord {
 public:
  ContinuedRecord(ByteWriter& out, std::uint16_t type) : out_(out) { begin(type); }
  ~ContinuedRecord() { end(); }
  ContinuedRecord(const ContinuedRecord&) = delete;
  ContinuedRecord& operator=(const ContinuedRecord&) = delete;

  std::size_t room() const { return MAX_RECORD_BODY - bodyLength(); }
  void continueRecord() {
    end();
    begin(record::CONTINUE);
  }
  std::size_t offsetInRecord() const { return out_.size() - headerAt_; }

 private:
  std::size_t bodyLength() const { return out_.size() - headerAt_ - 4; }
  void begin(std::uint16_t type) {
    headerAt_ = out_.size();
    out_.u16(type);
    out_.u16(0);
  }
  void end() { out_.patchU16(headerAt_ + 2, static_cast<std::uint16_t>(bodyLength())); }

  ByteWriter& out_;
  std::size_t headerAt_ = 0;
};

}  // namespace

std::uint32_t SharedStrings::use(const std::u16string& text) {
  ++references_;
  const auto [entry, added] = indexOf_.try_emplace(text, static_cast<std::uint32_t>(inOrder_.size()));
  if (added) {
    inOrder_.push_back(&entry->first);
  }
  return entry->second;
}

std::uint16_t extSstBucketSize(std::size_t uniqueCount) {
  const std::size_t size = std::max(MIN_BUCKET_SIZE, (uniqueCount + MAX_BUCKETS - 1) / MAX_BUCKETS);
  return static_cast<std::uint16_t>(std::min<std::size_t>(size, 0xFFFF));
}

std::vector<SstBucket> writeSst(ByteWriter& out, const SharedStrings& strings, std::uint16_t bucketSize) {
  std::vector<SstBucket> buckets;
  ContinuedRecord sst(out, record::SST);
  out.u32(strings.references());
  out.u32(static_cast<std::uint32_t>(strings.uniqueCount()));
  for (std::size_t index = 0; index < strings.uniqueCount(); ++index) {
    std::u16string_view rest = strings.at(index);
    // The header and the first character stay together in one record.
    const std::size_t firstPiece = STRING_HEADER + (rest.empty() ? 0 : 2);
    if (sst.room() < firstPiece) {
      sst.continueRecord();
    }
    if (index % bucketSize == 0) {
      buckets.push_back({static_cast<std::uint32_t>(out.size()), static_cast<std::uint16_t>(sst.offsetInRecord())});
    }
    out.u16(static_cast<std::uint16_t>(rest.size()));
    out.u8(STRING_UTF16);
    for (;;) {
      const std::size_t fits = std::min(rest.size(), sst.room() / 2);
      out.utf16(rest.substr(0, fits));
      rest.remove_prefix(fits);
      if (rest.empty()) {
        break;
      }
      sst.continueRecord();
      out.u8(STRING_UTF16);
    }
  }
  return buckets;
}

void writeExtSst(ByteWriter& out, std::uint16_t bucketSize, const std::vector<SstBucket>& buckets) {
  writeRecord(out, record::EXTSST, [&] {
    out.u16(bucketSize);
    for (const SstBucket& bucket : buckets) {
      out.u32(bucket.streamPosition);
      out.u16(bucket.recordOffset);
      out.u16(0);
    }
  });
}

}  // namespace zorvi::workbook
