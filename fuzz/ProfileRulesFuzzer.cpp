// The profile's text rules over arbitrary tool output: "wmic" and "nvidia-smi" reports of any bytes,
// in GBK or in UTF-16LE with a byte-order mark, read in pieces of any size, through the console
// capture and the whole profile build, and each rule on its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "profile/ProfileAssembly.h"
#include "profile/ProfileRules.h"
#include "protocol/TextPrimitives.h"
#include "tests/profile/FakeConsole.h"

namespace {

using namespace zorvi;
using zorvi::fuzz::require;

class FixedSources final : public ProfileSources {
 public:
  std::string loginName() override { return login; }
  std::string cpuBrand() override { return cpu; }
  std::string osVersion() override { return os; }
  std::string biosName() override { return bios; }
  std::string wmiBiosSerial() override { return serial; }
  std::vector<std::string> wmiMemoryCapacities() override { return capacities; }

  std::string login, cpu, os, bios, serial;
  std::vector<std::string> capacities;
};

class CountedBoxes final : public ProfileMessageBox {
 public:
  void showMessage(std::string_view, std::string_view) override { ++shown; }
  int shown = 0;
};

// A tool's output as the fuzzer gives it, with a byte-order mark in front when the flag says so.
std::string toolOutput(zorvi::fuzz::FuzzBytes& input, bool utf16) {
  const std::string_view bytes = input.takeSizedText();
  return utf16 ? "\xFF\xFE" + std::string(bytes) : std::string(bytes);
}

void checkRules(std::string_view output) {
  const std::string memory = memoryFromWmic(output);
  for (const std::string& module : splitText(memory, " + ")) {
    require(module.ends_with("G"), "every memory module is a size in G");
  }
  for (const std::string_view field : {NVIDIA_DRIVER_FIELD, NVIDIA_PRODUCT_FIELD, NVIDIA_VBIOS_FIELD}) {
    const std::string value = nvidiaSmiValue(output, field);
    require(findText(value, "\r\n") == TEXT_NOT_FOUND, "a report value ends at its line end");
  }
  serialFromWmic(output);
  wmicPrintsHeading(output, WMIC_SERIAL_HEADING);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvi::fuzz::FuzzBytes input(data, size);
  const std::uint8_t flags = input.takeByte();
  const std::size_t pieceBytes = 1 + input.takeByte();
  const std::string serialOutput = toolOutput(input, flags & 1);
  const std::string memoryOutput = toolOutput(input, flags & 2);
  const std::string graphicsReport = toolOutput(input, flags & 4);

  FixedSources sources;
  sources.cpu = input.takeSizedText();
  sources.serial = input.takeSizedText();
  sources.login = input.takeUntil('\n');
  sources.bios = input.takeUntil('\n');
  for (std::string_view capacities = input.takeRest(); !capacities.empty();) {
    const std::size_t end = capacities.find('\n');
    sources.capacities.emplace_back(capacities.substr(0, end));
    capacities.remove_prefix(end == std::string_view::npos ? capacities.size() : end + 1);
  }

  test::ScriptedConsoleHost console;
  console.script(std::string(WMIC_SERIAL_COMMAND), test::ScriptedCommand::inPieces(serialOutput, pieceBytes));
  console.script(std::string(WMIC_MEMORY_COMMAND), test::ScriptedCommand::inPieces(memoryOutput, pieceBytes));
  console.script(std::string(NVIDIA_SMI_COMMAND), test::ScriptedCommand::inPieces(graphicsReport, pieceBytes));
  CountedBoxes boxes;
  const ProfileSystem system{sources, console, boxes, std::chrono::milliseconds(100000)};

  const std::string profile = buildMachineProfile(system);
  require(boxes.shown <= 1, "the graphics warning shows at most once per build");
  require(console.released.size() == 3, "every tool's child is released");
  profileLine(profile, sources.bios);

  for (const std::string* output : {&serialOutput, &memoryOutput, &graphicsReport}) {
    checkRules(*output);
  }
  memoryFromCapacities(sources.capacities);
  return 0;
}
