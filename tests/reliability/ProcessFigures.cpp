#include "tests/reliability/ProcessFigures.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace zorvi::test {
namespace {

std::size_t statusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  while (status >> name) {
    if (name == field) {
      std::size_t kib = 0;
      status >> kib;
      return kib;
    }
    status.ignore(4096, '\n');
  }
  return 0;
}

}  // namespace

std::size_t residentKiB() { return statusKiB("VmRSS:"); }

std::size_t peakResidentKiB() { return statusKiB("VmHWM:"); }

void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::size_t openDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

}  // namespace zorvi::test
