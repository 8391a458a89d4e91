#include "profile/CpuBrand.h"

#include "profile/CpuidLeaf.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {

std::string brandFromLeaves(const std::array<std::array<std::uint32_t, 4>, 3>& leaves) {
  std::string block;
  block.reserve(48);
  for (const auto& registers : leaves) {
    for (const std::uint32_t value : registers) {
      for (int shift = 0; shift < 32; shift += 8) {
        block.push_back(static_cast<char>((value >> shift) & 0xFFu));
      }
    }
  }
  return std::string(textBeforeZero(block));
}

std::string readCpuBrand() {
  std::array<std::array<std::uint32_t, 4>, 3> leaves{};
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    leaves[i] = cpuidLeaf(CPUID_BRAND_LEAVES[i]);
  }
  return brandFromLeaves(leaves);
}

}  // namespace zorvi
