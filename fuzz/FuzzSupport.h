#pragma once
// What every fuzz target shares: a check that stops the run with a message (libFuzzer then keeps
// the input that broke it), and a reader that takes the fuzzer's bytes apart into choices and texts.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace zorvi::fuzz {

// A property every input must keep. Breaking it aborts, which libFuzzer reports as a crash.
inline void require(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
  }
}

class FuzzBytes {
 public:
  FuzzBytes(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}

  bool empty() const { return bytes_.empty(); }

  // The next byte, 0 once the input is used up.
  std::uint8_t takeByte() {
    if (bytes_.empty()) {
      return 0;
    }
    const auto byte = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return byte;
  }

  // The next `count` bytes, or all that is left.
  std::string_view takeText(std::size_t count) {
    const std::string_view piece = bytes_.substr(0, count);
    bytes_.remove_prefix(piece.size());
    return piece;
  }

  // A text whose length the next two bytes give.
  std::string_view takeSizedText() {
    const std::size_t high = takeByte();
    const std::size_t low = takeByte();
    return takeText(high << 8 | low);
  }

  // The bytes up to the next `delimiter` (which is consumed), or all that is left.
  std::string_view takeUntil(char delimiter) {
    const std::size_t end = bytes_.find(delimiter);
    const std::string_view piece = bytes_.substr(0, end);
    bytes_.remove_prefix(end == std::string_view::npos ? bytes_.size() : end + 1);
    return piece;
  }

  std::string_view takeRest() { return std::exchange(bytes_, std::string_view()); }

 private:
  std::string_view bytes_;
};

// Repeatable cut lengths from a seed the input chooses: small reads, large reads, and in between.
class CutLengths {
 public:
  CutLengths(std::uint8_t seed, std::size_t largest) : state_(seed * 2654435761u + 1u), largest_(std::max<std::size_t>(largest, 1)) {}

  std::size_t next() {
    state_ = state_ * 1103515245u + 12345u;
    return 1 + (state_ >> 8) % largest_;
  }

 private:
  std::uint32_t state_;
  std::size_t largest_;
};

}  // namespace zorvi::fuzz
