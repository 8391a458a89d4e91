// The text of "nvidia-smi -q" for one graphics card, in the layout the NVIDIA tool prints:
// names padded so that every colon sits in column 42, sections without values, CR LF line ends.
#pragma once

#include <string>

namespace zorvi::room {

struct GpuValues {
  std::string productName;
  std::string driverVersion;
  std::string vbiosVersion;
};

// `timestamp` is shown as the tool shows the time of the query, e.g. "Thu Dec 11 02:23:00 2025".
std::string nvidiaQueryReport(const GpuValues& values, const std::string& timestamp);

// What the tool prints when no NVIDIA driver answers (shorter than any report).
std::string nvidiaDriverFailure();

}  // namespace zorvi::room
