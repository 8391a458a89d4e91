#pragma once
// The local machine's profile on Windows: the console tools, CPUID, the user name, WMI through the
// script control and the version naming, assembled by ProfileAssembly.h.

#include <chrono>
#include <string>
#include <string_view>

#include "profile/ProfileAssembly.h"

namespace zorvi {

// The real message box: OK button, no owner window, task-modal, texts converted with code page 936.
class TaskModalProfileMessageBox final : public ProfileMessageBox {
 public:
  void showMessage(std::string_view text, std::string_view caption) override;
};

// The profile text of this machine. Runs on the GUI thread (a controller's request) or the start-up
// worker thread; window messages of the calling thread keep flowing while the tools run. A missing
// NVIDIA tool shows the graphics warning box, and the build waits until it is closed.
std::string buildMachineProfile();

// The same, with the graphics warning shown through `messages` and the tools bounded by `bound`.
std::string buildMachineProfile(ProfileMessageBox& messages, std::chrono::milliseconds bound = CONSOLE_CAPTURE_BOUND);

// Builds the profile and writes the profile line (with the kept BIOS name) to `label`. Runs on the
// start-up worker thread.
void showLocalProfile(ProfileLineLabel& label);

// The same, with the graphics warning shown through `messages`.
void showLocalProfile(ProfileLineLabel& label, ProfileMessageBox& messages);

}  // namespace zorvi
