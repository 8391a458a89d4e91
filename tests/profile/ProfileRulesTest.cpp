#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "profile/ProfileRules.h"

namespace zorvi {
namespace {

struct TextCase {
  const char* name;
  std::string input;
  std::string expected;
  friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

auto caseName = [](const auto& testCase) { return std::string(testCase.param.name); };

class ShortenCpuBrand : public ::testing::TestWithParam<TextCase> {};

TEST_P(ShortenCpuBrand, GivesTheShortName) { EXPECT_EQ(shortenCpuBrand(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Brands, ShortenCpuBrand,
    ::testing::Values(
        TextCase{"intel_listed_frequency", "Intel(R) Core(TM) i7-9750H CPU @ 2.60GHz", "i7-9750H"},
        TextCase{"intel_each_listed_frequency", "Intel(R) Core(TM) i5-8250U CPU @ 1.90GHz", "i5-8250U"},
        TextCase{"intel_3_50", "Intel(R) Core(TM) i7-4770K CPU @ 3.50GHz", "i7-4770K"},
        TextCase{"amd_ryzen_with_radeon", "AMD Ryzen 7 4800H with Radeon Graphics         ", "R7 4800H"},
        TextCase{"amd_without_radeon_suffix", "AMD Ryzen 9 5900X 12-Core Processor            ",
                 "R9 5900X 12-Core Processor            "},
        TextCase{"radeon_suffix_needs_its_nine_spaces", "AMD Ryzen 5 5600H with Radeon Graphics",
                 "R5 5600H with Radeon Graphics"},
        TextCase{"unlisted_frequency_2_59", "Intel(R) Core(TM) i7-10750H CPU @ 2.59GHz", "i7-10750H CPU @ 2.59GHz"},
        TextCase{"unlisted_frequency_3_60", "Intel(R) Core(TM) i9-9900K CPU @ 3.60GHz", "i9-9900K CPU @ 3.60GHz"},
        TextCase{"no_cpu_at", "12th Gen Intel(R) Core(TM) i7-12700H", "12th Gen i7-12700H"},
        TextCase{"leading_spaces_kept", "       Intel(R) Core(TM) i3-2120 CPU @ 3.30GHz", "       i3-2120"},
        TextCase{"xeon_untouched", "Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz",
                 "Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz"},
        TextCase{"removals_in_order_amd_then_ryzen", "AMD Ryzen 5 PRO 4650U with Radeon Graphics         ",
                 "R5 PRO 4650U"},
        TextCase{"empty", "", ""}),
    caseName);

class MemoryFromWmic : public ::testing::TestWithParam<TextCase> {};

TEST_P(MemoryFromWmic, GivesTheModuleSizes) { EXPECT_EQ(memoryFromWmic(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Outputs, MemoryFromWmic,
    ::testing::Values(TextCase{"two_8g", "Capacity    \r\r\n8589934592  \r\r\n8589934592  \r\r\n\r\r\n", "8G + 8G"},
                      TextCase{"one_4g", "Capacity    \r\r\n4294967296  \r\r\n\r\r\n", "4G"},
                      TextCase{"one_and_a_half", "Capacity    \r\r\n1610612736  \r\r\n\r\r\n", "1.5G"},
                      TextCase{"mixed_modules", "Capacity     \r\r\n17179869184  \r\r\n4294967296   \r\r\n\r\r\n",
                               "16G + 4G"},
                      TextCase{"not_a_whole_gib", "Capacity\r\n1000000000\r\n", "0.9313225746155G"},
                      TextCase{"single_precision_rounding", "Capacity\r\n8589934591\r\n", "8G"},
                      TextCase{"lf_only_lines_are_one_piece", "Capacity\n8589934592\n8589934592\n", "8G"},
                      TextCase{"short_pieces_skipped", "Capacity\r\n12\r\n1\r\n", ""},
                      TextCase{"no_number_reads_zero", "Capacity\r\nunknown\r\n", "0G"},
                      TextCase{"huge_number", "Capacity\r\n1e300\r\n", "infG"}, TextCase{"nothing", "", ""}),
    caseName);

TEST(MemoryFromCapacities, SameValuesAsTheWmicRule) {
  EXPECT_EQ(memoryFromCapacities(std::vector<std::string>{"8589934592", "8589934592"}), "8G + 8G");
  EXPECT_EQ(memoryFromCapacities(std::vector<std::string>{"1610612736"}), "1.5G");
  EXPECT_EQ(memoryFromCapacities(std::vector<std::string>{"", "4294967296", ""}), "4G");
  EXPECT_EQ(memoryFromCapacities(std::vector<std::string>{}), "");
}

class SerialFromWmic : public ::testing::TestWithParam<TextCase> {};

TEST_P(SerialFromWmic, GivesTheSerialNumber) { EXPECT_EQ(serialFromWmic(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Outputs, SerialFromWmic,
    ::testing::Values(TextCase{"inner_spaces_removed",
                               "SerialNumber            \r\r\nTo be filled by O.E.M.  \r\r\n\r\r\n",
                               "TobefilledbyO.E.M."},
                      TextCase{"plain", "SerialNumber  \r\r\nPF2X3K7Q      \r\r\n\r\r\n", "PF2X3K7Q"},
                      TextCase{"wine_layout", "SerialNumber\r\n0  \r\n", "0"},
                      TextCase{"heading_only", "SerialNumber  \r\r\n\r\r\n", ""},
                      TextCase{"exactly_twelve_bytes_left", "Serial Number", ""},
                      TextCase{"chinese_serial", "SerialNumber  \r\r\n序列 号  \r\r\n", "序列号"},
                      TextCase{"empty", "", ""}),
    caseName);

TEST(SerialFromWmiValue, CleanedLikeTheWmicRuleWithoutAHeading) {
  EXPECT_EQ(serialFromWmiValue("To be filled by O.E.M."), "TobefilledbyO.E.M.");
  EXPECT_EQ(serialFromWmiValue(" PF2X3K7Q\r\n"), "PF2X3K7Q");
  EXPECT_EQ(serialFromWmiValue(""), "");
}

TEST(WmicPrintsHeading, OnlyWhenTheHeadingComesFirst) {
  EXPECT_TRUE(wmicPrintsHeading("SerialNumber  \r\r\nX\r\r\n", "SerialNumber"));
  EXPECT_TRUE(wmicPrintsHeading("\r\n  Capacity\r\n", "Capacity"));
  EXPECT_FALSE(wmicPrintsHeading("'wmic' is not recognized as an internal or external command,\r\n", "SerialNumber"));
  EXPECT_FALSE(wmicPrintsHeading("No Instance(s) Available.\r\n", "Capacity"));
  EXPECT_FALSE(wmicPrintsHeading("", "Capacity"));
  EXPECT_FALSE(wmicPrintsHeading("Node - PC\r\nERROR:\r\nDescription = Capacity\r\n", "Capacity"));
}

// nvidia-smi pads field names to a column that depends on its version.
constexpr std::string_view CURRENT_LAYOUT =
    "Driver Version                            : 537.13\r\n"
    "GPU 00000000:01:00.0\r\n"
    "    Product Name                          : NVIDIA GeForce RTX 3060 Laptop GPU\r\n"
    "    VBIOS Version                         : 94.06.19.00.5D\r\n";

TEST(NvidiaSmiValue, ReadsTheLayoutWithTheColonAtColumn42) {
  EXPECT_EQ(nvidiaSmiValue(CURRENT_LAYOUT, "Driver Version"), "537.13");
  EXPECT_EQ(nvidiaSmiValue(CURRENT_LAYOUT, "Product Name"), "NVIDIA GeForce RTX 3060 Laptop GPU");
  EXPECT_EQ(nvidiaSmiValue(CURRENT_LAYOUT, " VBIOS Version"), "94.06.19.00.5D");
}

TEST(NvidiaSmiValue, ReadsAnyPadding) {
  EXPECT_EQ(nvidiaSmiValue("Driver Version                      : 391.35\r\n", "Driver Version"), "391.35");
  EXPECT_EQ(nvidiaSmiValue("    VBIOS Version : 86.06\r\n", " VBIOS Version"), "86.06");
  EXPECT_EQ(nvidiaSmiValue("Product Name: X\r\n", "Product Name"), "X");
}

TEST(NvidiaSmiValue, SkipsTheNameWhereNoColonFollows) {
  EXPECT_EQ(nvidiaSmiValue("Product Name Suffix  : no\r\nProduct Name  : yes\r\n", "Product Name"), "yes");
  EXPECT_EQ(nvidiaSmiValue("Driver Version   :x\r\nDriver Version   : 1\r\n", "Driver Version"), "1");
}

TEST(NvidiaSmiValue, MissingFieldOrLineEndGivesEmptyText) {
  EXPECT_EQ(nvidiaSmiValue("Driver Version     : 537.13", "Driver Version"), "");    // no CR LF
  EXPECT_EQ(nvidiaSmiValue("Driver Version     : 537.13\n", "Driver Version"), "");  // LF alone
  EXPECT_EQ(nvidiaSmiValue(CURRENT_LAYOUT, "CUDA Version"), "");
  EXPECT_EQ(nvidiaSmiValue("", "Driver Version"), "");
  EXPECT_EQ(nvidiaSmiValue("VBIOS Version : 1\r\n", " VBIOS Version"), "");  // the key's space is part of it
}

TEST(NvidiaSmiValue, ValueEndsAtTheFirstLineEndAfterTheField) {
  EXPECT_EQ(nvidiaSmiValue("Driver Version : \r\nnext\r\n", "Driver Version"), "");
  EXPECT_EQ(nvidiaSmiValue("Driver Version : a b \r\n", "Driver Version"), "a b ");
}

}  // namespace
}  // namespace zorvi
