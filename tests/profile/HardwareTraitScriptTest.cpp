#include <gtest/gtest.h>

#include <vector>

#include "profile/HardwareTraitScript.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

TEST(HardwareTraitKey, IndexPicksTheKey) {
  const std::vector<std::string_view> keys = {"磁盘序列号", "CPUID", "MAC", "声卡", "显卡", "BIOS"};
  for (int index = 0; index < 6; ++index) {
    EXPECT_EQ(hardwareTraitKey(index), keys[static_cast<std::size_t>(index)]);
  }
  EXPECT_FALSE(hardwareTraitKey(-1).has_value());
  EXPECT_FALSE(hardwareTraitKey(6).has_value());
  EXPECT_EQ(hardwareTraitKey(TRAIT_INDEX_BIOS), "BIOS");
}

TEST(HardwareTraitScript, FortyThreeLinesJoinedByCrLf) {
  const std::string script = hardwareTraitScript();
  const std::vector<std::string> lines = splitText(script, "\r\n");
  ASSERT_EQ(lines.size(), 43u);
  EXPECT_FALSE(script.ends_with("\r\n"));
  EXPECT_EQ(script.find('\n'), script.find("\r\n") + 1);  // no bare LF anywhere
  EXPECT_EQ(lines.front(), "Function GetTrait(P)");
  EXPECT_EQ(lines[2], "    Select Case P");
  EXPECT_EQ(lines[9], "    Case \"磁盘序列号\"");  // GBK inside the script
  EXPECT_EQ(lines[38], "           Exit For");
  EXPECT_EQ(lines.back(), "End Function");
  // Every case reads the first instance of its WMI class.
  for (const char* wmiClass : {"Win32_BIOS", "Win32_PhysicalMedia", "Win32_Processor", "Win32_SoundDevice",
                               "Win32_VideoController", "Win32_NetworkAdapterConfiguration"}) {
    EXPECT_NE(script.find(std::string("InstancesOf(\"") + wmiClass + "\")"), std::string::npos) << wmiClass;
  }
}

TEST(WmiFallbackScript, AnswersBothKeysFromTheirClasses) {
  const std::string script = wmiFallbackScript();
  EXPECT_TRUE(script.starts_with("Function WmicStandIn(P)\r\n"));
  EXPECT_TRUE(script.ends_with("\r\nEnd Function"));
  const std::size_t serialCase = script.find("Case \"SerialNumber\"");
  const std::size_t capacityCase = script.find("Case \"Capacity\"");
  ASSERT_NE(serialCase, std::string::npos);
  ASSERT_NE(capacityCase, std::string::npos);
  EXPECT_LT(serialCase, script.find("InstancesOf(\"Win32_BIOS\")"));
  EXPECT_LT(capacityCase, script.find("InstancesOf(\"Win32_PhysicalMemory\")"));
}

struct TrimCase {
  std::string input;
  std::string expected;
};

TEST(TrimTraitSpaces, AsciiAndFullWidthSpacesAtBothEnds) {
  const std::vector<TrimCase> cases = {
      {"  Default System BIOS  ", "Default System BIOS"},
      {"\xA1\xA1 BIOS \xA1\xA1\xA1\xA1", "BIOS"},
      {"inner  spaces \xA1\xA1kept", "inner  spaces \xA1\xA1kept"},
      {"\tTab\t", "\tTab\t"},  // only the two spaces count
      {"   ", ""},
      {"\xA1\xA1", ""},
      {"", ""},
      {"\xC4\xA1\xA1", "\xC4\xA1\xA1"},  // A1 A1 across a character and a stray byte is no space
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},  // "啊" then a real full-width space
      {"\xA1\xA1\xB0\xA1 ", "\xB0\xA1"},
  };
  for (const TrimCase& c : cases) {
    EXPECT_EQ(trimTraitSpaces(c.input), c.expected) << c.input;
  }
}

}  // namespace
}  // namespace zorvi
