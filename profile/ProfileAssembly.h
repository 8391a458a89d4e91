#pragma once
// Assembly of the local machine's profile from its sources, and the profile line of the main
// window. The operating system is reached only through the interfaces below.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ConsoleCapture.h"

namespace zorvi {

inline constexpr std::string_view WMIC_SERIAL_COMMAND = "wmic bios get serialnumber";
inline constexpr std::string_view WMIC_MEMORY_COMMAND = "wmic memorychip get Capacity";
inline constexpr std::string_view NVIDIA_SMI_COMMAND = "nvidia-smi -q";
inline constexpr std::string_view WMIC_SERIAL_HEADING = "SerialNumber";
inline constexpr std::string_view WMIC_MEMORY_HEADING = "Capacity";
inline constexpr std::string_view NVIDIA_DRIVER_FIELD = "Driver Version";
inline constexpr std::string_view NVIDIA_PRODUCT_FIELD = "Product Name";
inline constexpr std::string_view NVIDIA_VBIOS_FIELD = " VBIOS Version";

// A graphics report shorter than this means the NVIDIA tool did not run.
inline constexpr std::size_t GRAPHICS_REPORT_MINIMUM_BYTES = 200;
inline constexpr std::string_view TEXT_GRAPHICS_FAILED = "获取显卡数据失败，请检查电脑NV驱动是否正常！";
inline constexpr std::string_view TEXT_INFO_CAPTION = "信息：";

// The sources of a profile other than the console tools, asked on the thread that builds it. Each
// answer is GBK text, empty when the source gives nothing; none fails otherwise.
class ProfileSources {
 public:
  virtual ~ProfileSources() = default;
  virtual std::string loginName() = 0;
  virtual std::string cpuBrand() = 0;
  // The Windows name with edition and build, as the profile shows it.
  virtual std::string osVersion() = 0;
  // The BIOS name WMI gives (the hardware trait "BIOS").
  virtual std::string biosName() = 0;
  // Where "wmic" gives nothing: the BIOS serial number and the module capacities, straight from WMI.
  virtual std::string wmiBiosSerial() = 0;
  virtual std::vector<std::string> wmiMemoryCapacities() = 0;
};

// A message box with one OK button, no owner window, task-modal. Returns once it is closed.
class ProfileMessageBox {
 public:
  virtual ~ProfileMessageBox() = default;
  virtual void showMessage(std::string_view text, std::string_view caption) = 0;
};

// Receives the profile line. Called on the start-up worker thread; the implementation hands the
// text to whoever owns the label.
class ProfileLineLabel {
 public:
  virtual ~ProfileLineLabel() = default;
  virtual void setText(std::string_view text) = 0;
};

struct ProfileSystem {
  ProfileSources& sources;
  ConsoleHost& console;
  ProfileMessageBox& messages;
  std::chrono::milliseconds captureBound = CONSOLE_CAPTURE_BOUND;
};

// The local machine's profile text: nine values joined by MARK_PROFILE_FIELD_SEP. The three console
// tools run at the same time (messages of the calling thread keep flowing); a graphics report under
// 200 bytes shows the graphics warning once every other value is gathered. Blocks until done.
std::string buildMachineProfile(const ProfileSystem& system);

// The profile line of the main window for a profile text, or nothing when the text does not hold
// nine fields (an empty ninth field counts).
std::optional<std::string> profileLine(std::string_view profileText, std::string_view keptBiosName);

// Builds the profile and writes its line, with the kept BIOS name, to `label`; a profile without
// nine fields leaves the label alone. Runs on the start-up worker thread.
void showLocalProfile(const ProfileSystem& system, ProfileLineLabel& label);

}  // namespace zorvi
