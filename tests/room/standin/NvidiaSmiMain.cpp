// A stand-in for NVIDIA's nvidia-smi.exe on a test machine without an NVIDIA card. "nvidia-smi -q"
// prints the query report with this machine's card, driver and VBIOS, read from the file
// nvidia-smi.txt beside the executable (lines "product=...", "driver=...", "vbios=..."; other
// lines are ignored, a missing value prints "N/A"). Without that file it answers as the real tool
// does on a machine whose driver is missing.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "NvidiaReport.h"

namespace {

constexpr int EXIT_NO_DRIVER = 9;  // what the real tool returns when the driver does not answer
constexpr int EXIT_BAD_ARGUMENTS = 2;

std::wstring valuesFilePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"nvidia-smi.txt";
}

std::optional<zorvi::room::GpuValues> readValues(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  zorvi::room::GpuValues values{"N/A", "N/A", "N/A"};
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      continue;
    }
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "product") {
      values.productName = value;
    } else if (key == "driver") {
      values.driverVersion = value;
    } else if (key == "vbios") {
      values.vbiosVersion = value;
    }
  }
  return values;
}

std::string nowAsTheToolShowsIt() {
  static constexpr const char* DAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[64] = {};
  std::snprintf(text, sizeof text, "%s %s %2u %02u:%02u:%02u %u", DAYS[now.wDayOfWeek % 7],
                MONTHS[(now.wMonth + 11) % 12], static_cast<unsigned>(now.wDay), static_cast<unsigned>(now.wHour),
                static_cast<unsigned>(now.wMinute), static_cast<unsigned>(now.wSecond),
                static_cast<unsigned>(now.wYear));
  return text;
}

void writeOut(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // the report carries its own CR LF
  if (argc != 2 || std::wstring(argv[1]) != L"-q") {
    writeOut("Invalid combination of input arguments. Please run 'nvidia-smi -h' for help.\r\n");
    return EXIT_BAD_ARGUMENTS;
  }
  const auto values = readValues(valuesFilePath());
  if (!values) {
    writeOut(zorvi::room::nvidiaDriverFailure());
    return EXIT_NO_DRIVER;
  }
  writeOut(zorvi::room::nvidiaQueryReport(*values, nowAsTheToolShowsIt()));
  return 0;
}
