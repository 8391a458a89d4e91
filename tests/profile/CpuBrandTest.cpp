#include <gtest/gtest.h>

#include <string>

#include "profile/CpuBrand.h"
#include "profile/CpuidLeaf.h"
#include "profile/HardwareTraitScript.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

// The registers of the three brand leaves for a 48-byte brand block.
std::array<std::array<std::uint32_t, 4>, 3> leavesOf(std::string block) {
  block.resize(48, '\0');
  std::array<std::array<std::uint32_t, 4>, 3> leaves{};
  for (std::size_t i = 0; i < 48; ++i) {
    leaves[i / 16][(i % 16) / 4] |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[i])) << (8 * (i % 4));
  }
  return leaves;
}

TEST(BrandFromLeaves, RegistersInOrderLowestByteFirst) {
  EXPECT_EQ(brandFromLeaves(leavesOf("Intel(R) Core(TM) i7-9750H CPU @ 2.60GHz")),
            "Intel(R) Core(TM) i7-9750H CPU @ 2.60GHz");
  EXPECT_EQ(brandFromLeaves(leavesOf("AMD Ryzen 7 4800H with Radeon Graphics         ")),
            "AMD Ryzen 7 4800H with Radeon Graphics         ");
  std::array<std::array<std::uint32_t, 4>, 3> leaves{};
  leaves[0][0] = 0x44434241;  // EAX of the first leaf: "ABCD"
  leaves[0][1] = 0x00000045;  // EBX: "E", then the zero byte
  EXPECT_EQ(brandFromLeaves(leaves), "ABCDE");
}

TEST(BrandFromLeaves, FullBlockWithoutZeroGives48Bytes) {
  const std::string block(48, 'x');
  EXPECT_EQ(brandFromLeaves(leavesOf(block)), block);
  EXPECT_EQ(brandFromLeaves({}), "");
}

#if defined(ZORVI_HAS_CPUID)
TEST(ReadCpuBrand, IsThePrintableBrandOfThisProcessor) {
  if (cpuidLeaf(0x80000000u)[0] < 0x80000004u) {
    GTEST_SKIP() << "the processor has no brand string";
  }
  const std::string brand = readCpuBrand();
  ASSERT_FALSE(trimTraitSpaces(brand).empty());
  EXPECT_LE(brand.size(), 48u);
  for (const char byte : brand) {
    EXPECT_TRUE(byte >= 0x20 && byte < 0x7F) << brand;
  }
}
#endif

}  // namespace
}  // namespace zorvi
