#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

#include "profile/OsVersionNaming.h"

namespace zorvi {
namespace {

constexpr std::uint8_t WORKSTATION = 1;
constexpr std::uint8_t SERVER = 3;

OsVersionFacts version(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                       std::uint8_t productType = WORKSTATION) {
  OsVersionFacts facts;
  facts.versionRecordRead = true;
  facts.major = major;
  facts.minor = minor;
  facts.buildValue = build;
  facts.productType = productType;
  return facts;
}

OsVersionFacts withSuite(OsVersionFacts facts, std::uint16_t suiteMask) {
  facts.suiteMask = suiteMask;
  return facts;
}

OsVersionFacts withProduct(OsVersionFacts facts, std::uint32_t productInfo) {
  facts.productInfo = productInfo;
  return facts;
}

constexpr OsVersionSwitches PROFILE_SWITCHES{true, false, false, true};  // edition and build
constexpr OsVersionSwitches EDITION_ONLY{true, false, false, false};

struct NamingCase {
  const char* name;
  OsVersionFacts facts;
  OsVersionSwitches switches;
  std::string expected;
  friend void PrintTo(const NamingCase& c, std::ostream* os) { *os << c.name; }
};

class DescribeOsVersion : public ::testing::TestWithParam<NamingCase> {};

TEST_P(DescribeOsVersion, NamesTheSystem) {
  EXPECT_EQ(describeOsVersion(GetParam().facts, GetParam().switches), GetParam().expected);
}

OsVersionFacts serverR2() {
  OsVersionFacts facts = version(5, 2, 3790, SERVER);
  facts.serverR2 = true;
  return facts;
}

OsVersionFacts xpX64() {
  OsVersionFacts facts = version(5, 2, 3790, WORKSTATION);
  facts.processorArchitecture = ARCHITECTURE_AMD64;
  return facts;
}

INSTANTIATE_TEST_SUITE_P(
    DecisionTable, DescribeOsVersion,
    ::testing::Values(
        // The profile's switches: name, joining space, empty edition, " (" and the build.
        NamingCase{"windows_10", version(10, 0, 19045), PROFILE_SWITCHES, "Windows 10  (Build:19045)"},
        NamingCase{"windows_10_last_build_before_11", version(10, 0, 21999), PROFILE_SWITCHES,
                   "Windows 10  (Build:21999)"},
        NamingCase{"windows_11", version(10, 0, 22000), PROFILE_SWITCHES, "Windows 11  (Build:22000)"},
        NamingCase{"windows_11_24h2", version(10, 0, 26100), PROFILE_SWITCHES, "Windows 11  (Build:26100)"},
        NamingCase{"server_2016", version(10, 0, 14393, SERVER), PROFILE_SWITCHES,
                   "Windows Server 2016  (Build:14393)"},
        NamingCase{"server_2019", version(10, 0, 17763, SERVER), PROFILE_SWITCHES,
                   "Windows Server 2019  (Build:17763)"},
        NamingCase{"server_2022", version(10, 0, 20348, SERVER), PROFILE_SWITCHES,
                   "Windows Server 2022  (Build:20348)"},
        NamingCase{"server_2025", version(10, 0, 26100, SERVER), PROFILE_SWITCHES,
                   "Windows Server 2025  (Build:26100)"},
        NamingCase{"domain_controller_counts_as_server", version(10, 0, 17763, 2), EDITION_ONLY,
                   "Windows Server 2019 "},
        NamingCase{"version_10_other_minor", version(10, 1, 100), PROFILE_SWITCHES, "  (Build:100)"},
        NamingCase{"vista", version(6, 0, 6002), EDITION_ONLY, "Windows Vista "},
        NamingCase{"server_2008", version(6, 0, 6002, SERVER), EDITION_ONLY, "Windows Server 2008 "},
        NamingCase{"windows_7", version(6, 1, 7601), PROFILE_SWITCHES, "Windows 7  (Build:7601)"},
        NamingCase{"server_2008_r2", version(6, 1, 7601, SERVER), EDITION_ONLY, "Windows Server 2008 R2 "},
        NamingCase{"windows_8", version(6, 2, 9200), EDITION_ONLY, "Windows 8 "},
        NamingCase{"server_2012", version(6, 2, 9200, SERVER), EDITION_ONLY, "Windows Server 2012 "},
        NamingCase{"windows_8_1", version(6, 3, 9600), EDITION_ONLY, "Windows 8.1 "},
        NamingCase{"server_2012_r2", version(6, 3, 9600, SERVER), EDITION_ONLY, "Windows Server 2012 R2 "},
        NamingCase{"version_6_other_minor", version(6, 4, 9841), EDITION_ONLY, " "},
        NamingCase{"windows_2000_professional", version(5, 0, 2195), EDITION_ONLY, "Windows 2000 Professional"},
        NamingCase{"windows_2000_datacenter_before_enterprise",
                   withSuite(version(5, 0, 2195, SERVER), SUITE_DATACENTER | SUITE_ENTERPRISE), EDITION_ONLY,
                   "Windows 2000 Datacenter Server"},
        NamingCase{"windows_2000_advanced", withSuite(version(5, 0, 2195, SERVER), SUITE_ENTERPRISE), EDITION_ONLY,
                   "Windows 2000 Advanced Server"},
        NamingCase{"windows_2000_server", version(5, 0, 2195, SERVER), EDITION_ONLY, "Windows 2000 Server"},
        NamingCase{"xp_professional", version(5, 1, 2600), PROFILE_SWITCHES, "Windows XP Professional (Build:2600)"},
        NamingCase{"xp_home", withSuite(version(5, 1, 2600), SUITE_PERSONAL), PROFILE_SWITCHES,
                   "Windows XP Home Edition (Build:2600)"},
        NamingCase{"server_2003_r2_before_every_suite", withSuite(serverR2(), SUITE_STORAGE_SERVER), EDITION_ONLY,
                   "Windows Server 2003 R2,  "},
        NamingCase{"storage_server_2003",
                   withSuite(version(5, 2, 3790, SERVER), SUITE_STORAGE_SERVER | SUITE_WH_SERVER), EDITION_ONLY,
                   "Windows Storage Server 2003 "},
        NamingCase{"home_server", withSuite(version(5, 2, 3790, SERVER), SUITE_WH_SERVER), EDITION_ONLY,
                   "Windows Home Server "},
        NamingCase{"xp_x64", xpX64(), EDITION_ONLY, "Windows XP Professional x64 Edition "},
        NamingCase{"server_2003_three_spaces_before_parenthesis", version(5, 2, 3790, SERVER), PROFILE_SWITCHES,
                   "Windows Server 2003,   (Build:3790)"},
        NamingCase{"workstation_5_2_on_x86_is_server_2003", version(5, 2, 3790, WORKSTATION), EDITION_ONLY,
                   "Windows Server 2003,  "},
        NamingCase{"windows_98", version(4, 10, 1998), EDITION_ONLY, "Windows 98 "},
        NamingCase{"unknown_old_version", version(4, 0, 1381), EDITION_ONLY, "获取失败，请检查版本:4.0 "},
        NamingCase{"unknown_5_3", version(5, 3, 1), EDITION_ONLY, "获取失败，请检查版本:5.3 "},
        NamingCase{"major_11_professional", withProduct(version(11, 0, 30000), 48), PROFILE_SWITCHES,
                   " Professional (Build:30000)"},
        NamingCase{"major_7_unlisted_product", withProduct(version(7, 0, 1), 5), PROFILE_SWITCHES, "  (Build:1)"},
        NamingCase{"major_9_product_above_table", withProduct(version(9, 0, 1), 101), EDITION_ONLY, " "}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(DescribeOsVersionProducts, EveryProductTypeGivesItsEdition) {
  const std::map<std::uint32_t, std::string> editions = {
      {1, "Ultimate Edition"},
      {2, "Home Basic Edition"},
      {3, "Home Premium Edition"},
      {4, "Enterprise Edition"},
      {6, "Business Edition"},
      {7, "Standard"},
      {8, "Datacenter Edition"},
      {9, "Small Business Server"},
      {10, "Enterprise Edition"},
      {11, "Starter Edition"},
      {12, "Datacenter Edition (core installation)"},
      {13, "Standard Edition (core installation)"},
      {14, "Enterprise Edition (core installation)"},
      {15, "Enterprise Edition for Itanium-based Systems"},
      {16, "Business N"},
      {17, "Web Server (full installation)"},
      {18, "HPC Edition"},
      {19, "Windows Storage Server 2008 R2 Essentials"},
      {20, "Storage Server Express"},
      {21, "Storage Server Standard"},
      {22, "Storage Server Workgroup"},
      {23, "Storage Server Enterprise"},
      {25, "Small Business Server Premium Edition"},
      {48, "Professional"},
  };
  for (std::uint32_t type = 0; type <= 200; ++type) {
    const auto found = editions.find(type);
    const std::string edition = found != editions.end() ? found->second : "";
    EXPECT_EQ(describeOsVersion(withProduct(version(8, 0, 1), type), EDITION_ONLY), " " + edition) << type;
  }
}

TEST(DescribeOsVersionProducts, ProductTypeMattersOnlyForUnlistedMajors) {
  EXPECT_EQ(describeOsVersion(withProduct(version(6, 1, 7601), 48), EDITION_ONLY), "Windows 7 ");
  EXPECT_EQ(describeOsVersion(withProduct(version(10, 0, 19045), 1), EDITION_ONLY), "Windows 10 ");
}

TEST(DescribeOsVersionSwitches, AllFourOnA32BitProgramOn64BitWindows7) {
  OsVersionFacts facts = version(6, 1, 7601);
  facts.wow64 = true;
  facts.servicePack = "Service Pack 1";
  EXPECT_EQ(describeOsVersion(facts, {true, true, true, true}), "Windows 7  x64 (Service Pack 1,Build:7601)");
}

TEST(DescribeOsVersionSwitches, EachSwitchAlone) {
  OsVersionFacts facts = version(5, 1, 2600);
  facts.servicePack = "Service Pack 3";
  EXPECT_EQ(describeOsVersion(facts, {}), "Windows XP");
  EXPECT_EQ(describeOsVersion(facts, {true, false, false, false}), "Windows XP Professional");
  EXPECT_EQ(describeOsVersion(facts, {false, true, false, false}), "Windows XP x86");
  EXPECT_EQ(describeOsVersion(facts, {false, false, true, false}), "Windows XP (Service Pack 3)");
  EXPECT_EQ(describeOsVersion(facts, {false, false, false, true}), "Windows XP (Build:2600)");
}

TEST(DescribeOsVersionSwitches, ServicePackFromTheRegistryAndShortOnesDropped) {
  OsVersionFacts facts = version(6, 1, 7601);
  facts.registryServicePack = "Service Pack 1";
  const OsVersionSwitches servicePack{false, false, true, true};
  EXPECT_EQ(describeOsVersion(facts, servicePack), "Windows 7 (Service Pack 1,Build:7601)");
  facts.servicePack = "SP";  // the record's text wins over the registry even when it is then dropped
  EXPECT_EQ(describeOsVersion(facts, servicePack), "Windows 7 (Build:7601)");
  facts.servicePack = "SP1";
  EXPECT_EQ(describeOsVersion(facts, servicePack), "Windows 7 (SP1,Build:7601)");
  facts.servicePack.clear();
  facts.registryServicePack.clear();
  EXPECT_EQ(describeOsVersion(facts, {false, false, true, false}), "Windows 7");
}

TEST(DescribeOsVersionBuild, FlagsAboveTheBuildAreIgnoredAndBigBuildsStayPositive) {
  EXPECT_EQ(describeOsVersion(version(10, 0, 0xF0004A65u), PROFILE_SWITCHES), "Windows 10  (Build:19045)");
  EXPECT_EQ(describeOsVersion(version(10, 0, 0xF0008000u, SERVER), PROFILE_SWITCHES),
            "Windows Server 2025  (Build:32768)");
  EXPECT_EQ(describeOsVersion(version(10, 0, 0xFFFFu), PROFILE_SWITCHES), "Windows 11  (Build:65535)");
}

TEST(DescribeOsVersionBuild, BuildZeroReadsTheRegistry) {
  OsVersionFacts facts = version(10, 0, 0);
  facts.registryCurrentBuild = "22631";
  EXPECT_EQ(describeOsVersion(facts, PROFILE_SWITCHES), "Windows 11  (Build:22631)");
  facts.registryCurrentBuild.clear();
  EXPECT_EQ(describeOsVersion(facts, PROFILE_SWITCHES), "Windows 10  (Build:)");
  facts.registryCurrentBuild = "-5";  // text that is no build names the system as if build 0
  facts.productType = SERVER;
  EXPECT_EQ(describeOsVersion(facts, PROFILE_SWITCHES), "Windows Server 2016  (Build:-5)");
}

TEST(DescribeOsVersionFailure, UnreadableVersionRecordGivesEmptyText) {
  OsVersionFacts facts = version(10, 0, 19045);
  facts.versionRecordRead = false;
  EXPECT_EQ(describeOsVersion(facts, {true, true, true, true}), "");
}

}  // namespace
}  // namespace zorvi
