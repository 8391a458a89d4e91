#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "profile/CpuBrand.h"
#include "profile/KeptBios.h"
#include "profile/ProfileRules.h"
#include "profile/win32/HardwareTrait.h"
#include "profile/win32/LoginName.h"
#include "profile/win32/MachineProfile.h"
#include "profile/win32/OsVersion.h"
#include "profile/win32/Win32ConsoleHost.h"
#include "protocol/Payloads.h"
#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

// Stands in for the task-modal box, which would stop an unattended test.
class RecordingProfileMessageBox final : public ProfileMessageBox {
 public:
  void showMessage(std::string_view text, std::string_view caption) override {
    shown.push_back(std::string(caption) + "|" + std::string(text));
  }
  std::vector<std::string> shown;
};

class RecordingLabel final : public ProfileLineLabel {
 public:
  void setText(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

// The version straight from ntdll, to check the naming against.
OSVERSIONINFOEXW trueVersion() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  EXPECT_NE(rtlGetVersion, nullptr);
  rtlGetVersion(&info);
  return info;
}

std::string userNameFromWindows() {
  wchar_t name[257];
  DWORD size = 257;
  EXPECT_TRUE(GetUserNameW(name, &size));
  return gbkFromWide(std::wstring_view(name, size - 1));
}

TEST(HardwareTrait, BiosNameOfTheWineMachine) {
  EXPECT_EQ(queryHardwareTrait(5), "Default System BIOS");
  EXPECT_EQ(queryHardwareTrait(-1), "");
  EXPECT_EQ(queryHardwareTrait(6), "");
}

TEST(HardwareTrait, WmiStandInsGiveWhatWmicGives) {
  const std::string serialOutput = captureConsoleOutput("wmic bios get serialnumber");
  const std::string memoryOutput = captureConsoleOutput("wmic memorychip get Capacity");
  EXPECT_EQ(serialFromWmiValue(queryWmiBiosSerial()), serialFromWmic(serialOutput));
  const std::vector<std::string> capacities = queryWmiMemoryCapacities();
  ASSERT_FALSE(capacities.empty());
  EXPECT_EQ(memoryFromCapacities(capacities), memoryFromWmic(memoryOutput));
  EXPECT_TRUE(memoryFromWmic(memoryOutput).ends_with("G")) << memoryOutput;
}

TEST(OsVersion, NamesTheWineMachineWithItsTrueVersionAndBuild) {
  const OSVERSIONINFOEXW expected = trueVersion();
  unsigned major = 0;
  unsigned minor = 0;
  const std::string text = describeOsVersion(true, false, false, true, major, minor);
  EXPECT_EQ(major, expected.dwMajorVersion);
  EXPECT_EQ(minor, expected.dwMinorVersion);
  EXPECT_TRUE(text.starts_with("Windows ")) << text;
  EXPECT_TRUE(text.ends_with("  (Build:" + std::to_string(expected.dwBuildNumber & 0xFFFF) + ")")) << text;
  EXPECT_TRUE(describeOsVersion(false, true, false, false, major, minor).ends_with(" x64"));  // Wine's is 64-bit
}

TEST(LoginName, IsTheUserWindowsReports) {
  const std::string expected = userNameFromWindows();
  ASSERT_LT(expected.size(), 50u);
  EXPECT_EQ(readLoginName(), expected);
  EXPECT_FALSE(expected.empty());
}

TEST(MachineProfile, NineFieldsOfTheWineMachine) {
  RecordingProfileMessageBox messages;
  const std::string text = buildMachineProfile(messages);
  const auto fields = splitProfileFields(text);
  ASSERT_TRUE(fields.has_value()) << text;
  const MachineProfile profile = readProfilePayload(text);
  unsigned major = 0;
  unsigned minor = 0;
  EXPECT_EQ(profile.userName, userNameFromWindows());
  EXPECT_EQ(profile.serialNumber, serialFromWmic(captureConsoleOutput("wmic bios get serialnumber")));
  EXPECT_EQ(profile.cpu, shortenCpuBrand(readCpuBrand()));
  EXPECT_FALSE(profile.cpu.empty());
  EXPECT_TRUE(profile.memory.ends_with("G")) << profile.memory;
  EXPECT_EQ(profile.osVersion, describeOsVersion(true, false, false, true, major, minor));
  EXPECT_EQ(profile.bios, "Default System BIOS");
  // Wine has no NVIDIA tool: the warning, and empty graphics fields.
  EXPECT_EQ(messages.shown, std::vector<std::string>{"信息：|获取显卡数据失败，请检查电脑NV驱动是否正常！"});
  EXPECT_EQ(profile.gpuName, "");
  EXPECT_EQ(profile.gpuDriver, "");
  EXPECT_EQ(profile.vbios, "");
}

TEST(MachineProfile, LocalProfileLineWithTheEmptyVbiosField) {
  keepBios(queryHardwareTrait(5));
  RecordingProfileMessageBox messages;
  RecordingLabel label;
  showLocalProfile(label, messages);
  ASSERT_EQ(label.texts.size(), 1u);
  EXPECT_TRUE(label.texts[0].starts_with("用户名：" + userNameFromWindows() + " | SN码：")) << label.texts[0];
  EXPECT_NE(label.texts[0].find(" | BIOS版本：Default System BIOS | 独显驱动版本： | VBIOS版本："), std::string::npos)
      << label.texts[0];
  EXPECT_TRUE(label.texts[0].ends_with("VBIOS版本："));
}

}  // namespace
}  // namespace zorvi
