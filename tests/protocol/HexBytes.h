#pragma once
// Test helper: bytes written out as hex, so an expected wire text cannot hide an encoding mistake.

#include <string>
#include <string_view>

namespace zorvi::test {

inline std::string bytesFromHex(std::string_view hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  return bytes;
}

}  // namespace zorvi::test
