#pragma once
// Test helper: expected file bytes written as hex, spaces allowed between fields for reading.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/protocol/HexBytes.h"

namespace zorvi::test {

inline std::vector<std::uint8_t> hexBytes(std::string_view spacedHex) {
  std::string compact;
  for (const char c : spacedHex) {
    if (c != ' ') {
      compact.push_back(c);
    }
  }
  const std::string bytes = bytesFromHex(compact);
  return {bytes.begin(), bytes.end()};
}

}  // namespace zorvi::test
