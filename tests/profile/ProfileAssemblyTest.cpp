#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "profile/KeptBios.h"
#include "profile/ProfileAssembly.h"
#include "protocol/Markers.h"
#include "protocol/Payloads.h"
#include "tests/profile/FakeConsole.h"

namespace zorvi {
namespace {

using test::ScriptedCommand;
using test::ScriptedConsoleHost;

std::string fixture(const std::string& name) {
  std::ifstream file(std::string(ZORVI_PROFILE_FIXTURES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Sources that answer fixed values and write down what was asked, in order.
class RecordingSources final : public ProfileSources {
 public:
  explicit RecordingSources(std::vector<std::string>& log) : log_(log) {}
  std::string loginName() override { return note("loginName", user); }
  std::string cpuBrand() override { return note("cpuBrand", brand); }
  std::string osVersion() override { return note("osVersion", os); }
  std::string biosName() override { return note("biosName", bios); }
  std::string wmiBiosSerial() override { return note("wmiBiosSerial", wmiSerial); }
  std::vector<std::string> wmiMemoryCapacities() override {
    log_.push_back("wmiMemoryCapacities");
    return wmiCapacities;
  }

  std::string user = "Admin";
  std::string brand = "Intel(R) Core(TM) i7-9750H CPU @ 2.60GHz";
  std::string os = "Windows 10  (Build:19045)";
  std::string bios = "ALASKA - 1072009";
  std::string wmiSerial;
  std::vector<std::string> wmiCapacities;

 private:
  std::string note(const char* what, const std::string& value) {
    log_.push_back(what);
    return value;
  }
  std::vector<std::string>& log_;
};

class RecordingProfileMessageBox final : public ProfileMessageBox {
 public:
  explicit RecordingProfileMessageBox(std::vector<std::string>& log) : log_(log) {}
  void showMessage(std::string_view text, std::string_view caption) override {
    log_.push_back("messageBox");
    shown.push_back(std::string(caption) + "|" + std::string(text));
  }
  std::vector<std::string> shown;

 private:
  std::vector<std::string>& log_;
};

class RecordingLabel final : public ProfileLineLabel {
 public:
  void setText(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

// A machine whose three tools print the given bytes, in pieces of 7 bytes (splitting CR CR LF and
// UTF-16 characters between reads).
class ProfileMachine {
 public:
  ProfileMachine(const std::string& serialOutput, const std::string& memoryOutput, const std::string& graphicsReport) {
    console.script(std::string(WMIC_SERIAL_COMMAND), ScriptedCommand::inPieces(serialOutput, 7));
    console.script(std::string(WMIC_MEMORY_COMMAND), ScriptedCommand::inPieces(memoryOutput, 7));
    console.script(std::string(NVIDIA_SMI_COMMAND), ScriptedCommand::inPieces(graphicsReport, 7));
  }
  ProfileSystem system() { return ProfileSystem{sources, console, messages}; }
  MachineProfile build() {
    const std::string text = buildMachineProfile(system());
    EXPECT_TRUE(splitProfileFields(text).has_value()) << "nine fields";
    return readProfilePayload(text);
  }

  std::vector<std::string> log;
  RecordingSources sources{log};
  RecordingProfileMessageBox messages{log};
  ScriptedConsoleHost console;
};

struct FixtureCase {
  const char* name;
  const char* serialFixture;
  const char* memoryFixture;
  const char* graphicsFixture;
  std::string wmiSerial;
  std::vector<std::string> wmiCapacities;
  MachineProfile expected;
  bool warns;
  friend void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.name; }
};

MachineProfile expectedProfile(std::string serial, std::string memory, std::string gpuName, std::string gpuDriver,
                               std::string vbios) {
  return MachineProfile{"Admin",
                        std::move(serial),
                        "i7-9750H",
                        std::move(memory),
                        "Windows 10  (Build:19045)",
                        std::move(gpuName),
                        "ALASKA - 1072009",
                        std::move(gpuDriver),
                        std::move(vbios)};
}

class FixtureProfiles : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureProfiles, GiveTheirNineFields) {
  const FixtureCase& c = GetParam();
  ProfileMachine machine(fixture(c.serialFixture), fixture(c.memoryFixture), fixture(c.graphicsFixture));
  machine.sources.wmiSerial = c.wmiSerial;
  machine.sources.wmiCapacities = c.wmiCapacities;
  EXPECT_EQ(machine.build(), c.expected);
  EXPECT_EQ(machine.messages.shown.size(), c.warns ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, FixtureProfiles,
    ::testing::Values(FixtureCase{"oem_board_current_driver",
                                  "wmic-serial-oem.txt",
                                  "wmic-memory-8g-8g.txt",
                                  "nvidia-smi-current.txt",
                                  "unused",
                                  {"1"},
                                  expectedProfile("TobefilledbyO.E.M.", "8G + 8G", "NVIDIA GeForce RTX 3060 Laptop GPU",
                                                  "537.13", "94.06.19.00.5D"),
                                  false},
                      FixtureCase{"laptop_older_driver_layout",
                                  "wmic-serial-lenovo.txt",
                                  "wmic-memory-4g.txt",
                                  "nvidia-smi-older.txt",
                                  "",
                                  {},
                                  expectedProfile("PF2X3K7Q", "4G", "GeForce GTX 1060", "391.35", "86.06.45.00.4A"),
                                  false},
                      FixtureCase{
                          "report_without_vbios_line",
                          "wmic-serial-oem.txt",
                          "wmic-memory-1.5g.txt",
                          "nvidia-smi-no-vbios.txt",
                          "",
                          {},
                          expectedProfile("TobefilledbyO.E.M.", "1.5G", "NVIDIA GeForce RTX 4070", "546.33", ""),
                          false},
                      FixtureCase{"wine_utf16_wmic_and_no_nvidia_tool",
                                  "wmic-serial-wine-utf16.bin",
                                  "wmic-memory-wine-utf16.bin",
                                  "nvidia-smi-not-recognized.txt",
                                  "",
                                  {},
                                  expectedProfile("VMW-4C4C45440042", "16G", "", "", ""),
                                  true},
                      FixtureCase{"no_wmic_reads_wmi",
                                  "wmic-not-recognized.txt",
                                  "wmic-not-recognized.txt",
                                  "nvidia-smi-current.txt",
                                  "To be filled by O.E.M.",
                                  {"8589934592", "8589934592"},
                                  expectedProfile("TobefilledbyO.E.M.", "8G + 8G", "NVIDIA GeForce RTX 3060 Laptop GPU",
                                                  "537.13", "94.06.19.00.5D"),
                                  false},
                      FixtureCase{"no_wmic_on_chinese_windows",
                                  "wmic-not-recognized-zh.txt",
                                  "wmic-not-recognized-zh.txt",
                                  "nvidia-smi-not-recognized.txt",
                                  "PF 2X3",
                                  {"4294967296"},
                                  expectedProfile("PF2X3", "4G", "", "", ""),
                                  true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(BuildMachineProfile, ToolsStartTogetherAndTheWarningComesAfterEveryValue) {
  ProfileMachine machine(fixture("wmic-serial-oem.txt"), fixture("wmic-memory-8g-8g.txt"), "");
  machine.build();
  EXPECT_EQ(machine.console.started,
            (std::vector<std::string>{"wmic bios get serialnumber", "wmic memorychip get Capacity", "nvidia-smi -q"}));
  EXPECT_EQ(machine.console.startTicks, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(machine.log, (std::vector<std::string>{"loginName", "cpuBrand", "biosName", "osVersion", "messageBox"}));
  EXPECT_EQ(machine.messages.shown, std::vector<std::string>{"信息：|获取显卡数据失败，请检查电脑NV驱动是否正常！"});
}

TEST(BuildMachineProfile, WmiIsAskedOnlyForTheToolWithoutHeading) {
  ProfileMachine machine(fixture("wmic-serial-oem.txt"), "No Instance(s) Available.\r\n",
                         fixture("nvidia-smi-current.txt"));
  machine.sources.wmiCapacities = {"2147483648"};
  EXPECT_EQ(machine.build().memory, "2G");
  EXPECT_EQ(machine.log,
            (std::vector<std::string>{"loginName", "cpuBrand", "wmiMemoryCapacities", "biosName", "osVersion"}));
}

TEST(BuildMachineProfile, WarningBelow200BytesOfReport) {
  const std::string report = fixture("nvidia-smi-current.txt");
  for (const std::size_t size : {std::size_t{0}, std::size_t{199}, std::size_t{200}, report.size()}) {
    ProfileMachine machine(fixture("wmic-serial-oem.txt"), fixture("wmic-memory-4g.txt"), report.substr(0, size));
    machine.build();
    EXPECT_EQ(machine.messages.shown.size(), size < 200 ? 1u : 0u) << size;
  }
}

TEST(BuildMachineProfile, HungToolIsEndedAndTheProfileStillBuilt) {
  ProfileMachine machine(fixture("wmic-serial-oem.txt"), fixture("wmic-memory-4g.txt"), "");
  ScriptedCommand hung = ScriptedCommand::inPieces(fixture("nvidia-smi-current.txt"), 4096);
  hung.endTick = 10'000'000;
  machine.console.script(std::string(NVIDIA_SMI_COMMAND), hung);
  ProfileSystem system = machine.system();
  system.captureBound = std::chrono::milliseconds(500);
  const MachineProfile profile = readProfilePayload(buildMachineProfile(system));
  EXPECT_EQ(profile.gpuDriver, "537.13");
  EXPECT_EQ(machine.console.endedByHost, std::vector<std::string>{"nvidia-smi -q"});
}

constexpr std::string_view SEP = MARK_PROFILE_FIELD_SEP;

std::string joined(std::initializer_list<std::string_view> fields) {
  std::string text;
  bool first = true;
  for (const std::string_view field : fields) {
    if (!first) {
      text.append(SEP);
    }
    first = false;
    text.append(field);
  }
  return text;
}

TEST(ProfileLine, ComposedInTheWindowsOrderWithTheKeptBios) {
  const std::string text = joined({"Admin", "SN\r\n1\r2", "i7-9750H", "8G + 8G", "Windows 10  (Build:19045)",
                                   "NVIDIA GeForce RTX 3060", "BIOS OF THIS BUILD", "537.13", "94.06.19.00.5D"});
  EXPECT_EQ(profileLine(text, "KEPT BIOS"),
            "用户名：Admin | SN码：SN12 | CPU：i7-9750H | 内存：8G + 8G | 显卡：NVIDIA GeForce RTX 3060 | "
            "系统版本：Windows 10  (Build:19045) | BIOS版本：KEPT BIOS | 独显驱动版本：537.13 | "
            "VBIOS版本：94.06.19.00.5D");
}

TEST(ProfileLine, EmptyNinthFieldStillGivesTheLine) {
  const std::string text = joined({"Admin", "SN", "i7", "4G", "Windows 7  (Build:7601)", "GTX", "B", "391.35", ""});
  ASSERT_EQ(text.substr(text.size() - SEP.size()), SEP);
  const auto line = profileLine(text, "K");
  ASSERT_TRUE(line.has_value());
  EXPECT_TRUE(line->ends_with("独显驱动版本：391.35 | VBIOS版本："));
}

TEST(ProfileLine, WrongFieldCountGivesNoLine) {
  EXPECT_FALSE(profileLine(joined({"1", "2", "3", "4", "5", "6", "7", "8"}) + "x", "K").has_value());
  EXPECT_FALSE(profileLine(joined({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}), "K").has_value());
  EXPECT_FALSE(profileLine("", "K").has_value());
}

// keptBios lives as long as the process, so one test covers it whole.
TEST(ShowLocalProfile, WritesTheLineWithTheBiosKeptAtStartup) {
  keepBios("Default System BIOS");
  keepBios("a second write changes nothing");
  EXPECT_EQ(keptBios(), "Default System BIOS");

  ProfileMachine machine(fixture("wmic-serial-oem.txt"), fixture("wmic-memory-8g-8g.txt"),
                         fixture("nvidia-smi-no-vbios.txt"));
  RecordingLabel label;
  showLocalProfile(machine.system(), label);
  EXPECT_EQ(label.texts,
            std::vector<std::string>{"用户名：Admin | SN码：TobefilledbyO.E.M. | CPU：i7-9750H | 内存：8G + 8G | "
                                     "显卡：NVIDIA GeForce RTX 4070 | 系统版本：Windows 10  (Build:19045) | "
                                     "BIOS版本：Default System BIOS | 独显驱动版本：546.33 | VBIOS版本："});
}

TEST(ShowLocalProfile, ProfileWithoutNineFieldsLeavesTheLabelAlone) {
  ProfileMachine machine(fixture("wmic-serial-oem.txt"), fixture("wmic-memory-8g-8g.txt"),
                         fixture("nvidia-smi-current.txt"));
  machine.sources.user = std::string("Ad") + std::string(MARK_PROFILE_FIELD_SEP) + "min";  // a tenth field
  RecordingLabel label;
  showLocalProfile(machine.system(), label);
  EXPECT_TRUE(label.texts.empty());
}

}  // namespace
}  // namespace zorvi
