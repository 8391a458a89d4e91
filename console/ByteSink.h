#pragma once
// Where a file's bytes go, in order: a file opened for sequential writing on Windows, a stream or a
// buffer elsewhere.

#include <cstdint>
#include <span>

namespace zorvi {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Appends all of `bytes`; false when they could not all be written.
  virtual bool write(std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace zorvi
