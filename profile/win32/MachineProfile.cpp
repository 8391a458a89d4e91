#include "profile/win32/MachineProfile.h"

#include <windows.h>

#include "profile/CpuBrand.h"
#include "profile/HardwareTraitScript.h"
#include "profile/win32/HardwareTrait.h"
#include "profile/win32/LoginName.h"
#include "profile/win32/OsVersion.h"
#include "profile/win32/Win32ConsoleHost.h"
#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

class Win32ProfileSources final : public ProfileSources {
 public:
  std::string loginName() override { return readLoginName(); }
  std::string cpuBrand() override { return readCpuBrand(); }
  std::string osVersion() override {
    unsigned major = 0;
    unsigned minor = 0;
    return describeOsVersion(true, false, false, true, major, minor);
  }
  std::string biosName() override { return queryHardwareTrait(TRAIT_INDEX_BIOS); }
  std::string wmiBiosSerial() override { return queryWmiBiosSerial(); }
  std::vector<std::string> wmiMemoryCapacities() override { return queryWmiMemoryCapacities(); }
};

}  // namespace

void TaskModalProfileMessageBox::showMessage(std::string_view text, std::string_view caption) {
  MessageBoxW(nullptr, wideFromGbk(text).c_str(), wideFromGbk(caption).c_str(), MB_OK | MB_TASKMODAL);
}

std::string buildMachineProfile(ProfileMessageBox& messages, std::chrono::milliseconds bound) {
  Win32ProfileSources sources;
  Win32ConsoleHost console;
  return buildMachineProfile(ProfileSystem{sources, console, messages, bound});
}

std::string buildMachineProfile() {
  TaskModalProfileMessageBox messages;
  return buildMachineProfile(messages);
}

void showLocalProfile(ProfileLineLabel& label, ProfileMessageBox& messages) {
  Win32ProfileSources sources;
  Win32ConsoleHost console;
  showLocalProfile(ProfileSystem{sources, console, messages}, label);
}

void showLocalProfile(ProfileLineLabel& label) {
  TaskModalProfileMessageBox messages;
  showLocalProfile(label, messages);
}

}  // namespace zorvi
