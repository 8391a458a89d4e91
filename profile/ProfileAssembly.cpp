#include "profile/ProfileAssembly.h"

#include "profile/KeptBios.h"
#include "profile/ProfileRules.h"
#include "protocol/Payloads.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {

std::string buildMachineProfile(const ProfileSystem& system) {
  MachineProfile profile;
  profile.userName = system.sources.loginName();

  // The tools run side by side: a build takes as long as the slowest of them, not their sum.
  const std::string commands[] = {std::string(WMIC_SERIAL_COMMAND), std::string(WMIC_MEMORY_COMMAND),
                                  std::string(NVIDIA_SMI_COMMAND)};
  const std::vector<std::string> outputs = captureConsoleOutputs(system.console, commands, system.captureBound);
  const std::string& serialOutput = outputs[0];
  const std::string& memoryOutput = outputs[1];
  const std::string& graphicsReport = outputs[2];

  // Without a column heading "wmic" is missing or failed: WMI answers instead, through the same rules.
  profile.serialNumber = wmicPrintsHeading(serialOutput, WMIC_SERIAL_HEADING)
                             ? serialFromWmic(serialOutput)
                             : serialFromWmiValue(system.sources.wmiBiosSerial());
  profile.cpu = shortenCpuBrand(system.sources.cpuBrand());
  if (wmicPrintsHeading(memoryOutput, WMIC_MEMORY_HEADING)) {
    profile.memory = memoryFromWmic(memoryOutput);
  } else {
    profile.memory = memoryFromCapacities(system.sources.wmiMemoryCapacities());
  }
  profile.bios = system.sources.biosName();
  profile.osVersion = system.sources.osVersion();

  if (graphicsReport.size() < GRAPHICS_REPORT_MINIMUM_BYTES) {
    system.messages.showMessage(TEXT_GRAPHICS_FAILED, TEXT_INFO_CAPTION);
  }
  profile.gpuDriver = nvidiaSmiValue(graphicsReport, NVIDIA_DRIVER_FIELD);
  profile.gpuName = nvidiaSmiValue(graphicsReport, NVIDIA_PRODUCT_FIELD);
  profile.vbios = nvidiaSmiValue(graphicsReport, NVIDIA_VBIOS_FIELD);
  return joinProfile(profile);
}

std::optional<std::string> profileLine(std::string_view profileText, std::string_view keptBiosName) {
  const auto fields = splitProfileFields(profileText);
  if (!fields) {
    return std::nullopt;
  }
  const auto& [userName, serialNumber, cpu, memory, osVersion, gpuName, bios, gpuDriver, vbios] = *fields;
  const std::string cleanSerial = replaceText(replaceText(serialNumber, "\r\n", ""), "\r", "");
  std::string line = "用户名：";
  line.append(userName)
      .append(" | SN码：")
      .append(cleanSerial)
      .append(" | CPU：")
      .append(cpu)
      .append(" | 内存：")
      .append(memory)
      .append(" | 显卡：")
      .append(gpuName)
      .append(" | 系统版本：")
      .append(osVersion)
      .append(" | BIOS版本：")
      .append(keptBiosName)
      .append(" | 独显驱动版本：")
      .append(gpuDriver)
      .append(" | VBIOS版本：")
      .append(vbios);
  return line;
}

void showLocalProfile(const ProfileSystem& system, ProfileLineLabel& label) {
  if (const auto line = profileLine(buildMachineProfile(system), keptBios())) {
    label.setText(*line);
  }
}

}  // namespace zorvi
