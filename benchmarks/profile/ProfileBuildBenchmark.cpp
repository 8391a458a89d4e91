// Time of one profile build whose three console tools each take 300 ms: the tools run side by side,
// so a build should take about 0.3 s, not the 0.9 s of running them one after another.
// Stand-in "wmic" and "nvidia-smi" shell scripts (sleep 0.3, then print a recorded report) go first
// on PATH; the capture runs them through the POSIX host.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "profile/ProfileAssembly.h"
#include "profile/posix/PosixConsoleHost.h"
#include "protocol/Payloads.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int RUNS = 7;

class FixedSources final : public zorvi::ProfileSources {
 public:
  std::string loginName() override { return "Admin"; }
  std::string cpuBrand() override { return "Intel(R) Core(TM) i7-9750H CPU @ 2.60GHz"; }
  std::string osVersion() override { return "Windows 10  (Build:19045)"; }
  std::string biosName() override { return "ALASKA - 1072009"; }
  std::string wmiBiosSerial() override { return {}; }
  std::vector<std::string> wmiMemoryCapacities() override { return {}; }
};

class CountingProfileMessageBox final : public zorvi::ProfileMessageBox {
 public:
  void showMessage(std::string_view, std::string_view) override { ++shown; }
  int shown = 0;
};

void writeScript(const std::string& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\nsleep 0.3\n" << body;
  ::chmod(path.c_str(), 0755);
}

// A folder of stand-in tools, put first on PATH for the commands the build runs.
std::string installStandInTools() {
  char folder[] = "/tmp/zorvi-profile-bench-XXXXXX";
  if (::mkdtemp(folder) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  const std::string fixtures = ZORVI_PROFILE_FIXTURES;
  writeScript(std::string(folder) + "/wmic",
              "case \"$*\" in\n"
              "  'bios get serialnumber') cat '" +
                  fixtures +
                  "/wmic-serial-oem.txt' ;;\n"
                  "  'memorychip get Capacity') cat '" +
                  fixtures +
                  "/wmic-memory-8g-8g.txt' ;;\n"
                  "esac\n");
  writeScript(std::string(folder) + "/nvidia-smi", "cat '" + fixtures + "/nvidia-smi-current.txt'\n");
  ::setenv("PATH", (std::string(folder) + ":" + std::getenv("PATH")).c_str(), 1);
  return folder;
}

struct Figures {
  double median;
  double fastest;
  double slowest;
};

template <typename Work>
Figures timeRuns(Work work) {
  std::vector<double> seconds;
  for (int run = 0; run < RUNS; ++run) {
    const auto start = Clock::now();
    work();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return {seconds[seconds.size() / 2], seconds.front(), seconds.back()};
}

void print(const char* what, const Figures& figures) {
  std::printf("  %-44s median %.3f s  (fastest %.3f s, slowest %.3f s)\n", what, figures.median, figures.fastest,
              figures.slowest);
}

}  // namespace

int main() {
  const std::string folder = installStandInTools();
  zorvi::PosixConsoleHost console;
  FixedSources sources;
  CountingProfileMessageBox messages;
  const zorvi::ProfileSystem system{sources, console, messages};

  std::string profileText;
  const Figures together = timeRuns([&] { profileText = zorvi::buildMachineProfile(system); });
  const Figures oneByOne = timeRuns([&] {
    for (const std::string_view command :
         {zorvi::WMIC_SERIAL_COMMAND, zorvi::WMIC_MEMORY_COMMAND, zorvi::NVIDIA_SMI_COMMAND}) {
      zorvi::captureConsoleOutput(console, command);
    }
  });

  const zorvi::MachineProfile profile = zorvi::readProfilePayload(profileText);
  std::printf("Machine profile build, three stand-in tools of 300 ms each, %d runs\n", RUNS);
  print("buildMachineProfile (tools side by side):", together);
  print("the three captures one after another:", oneByOne);
  std::printf("  profile: serial %s, memory %s, gpu %s, driver %s, vbios %s, warnings %d\n",
              profile.serialNumber.c_str(), profile.memory.c_str(), profile.gpuName.c_str(), profile.gpuDriver.c_str(),
              profile.vbios.c_str(), messages.shown);
  std::filesystem::remove_all(folder);
  return 0;
}
