#pragma once
// The Input and Profile payloads: what they carry and their wire form.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zorvi {

// One broadcast key-or-mouse event: pointer fractions of the controller's display and the current
// key-state text (empty before the first key or button event).
struct InputEvent {
  float horizontal = 0.0f;
  float vertical = 0.0f;
  std::string keyState;
  bool operator==(const InputEvent&) const = default;
};

// A pointer fraction as "%.6g" writes it: 0.5, 0, 0.333333, 0.520833.
std::string formatFraction(float fraction);

// MARK_KIND_INPUT followed by the Input payload.
std::string inputBody(const InputEvent& event);

// The event carried by an Input payload (the body without its kind marker), or nothing when the
// payload does not split into exactly three pieces. Labels are skipped by length; fraction text
// that is not a number reads as 0.
std::optional<InputEvent> readInputPayload(std::string_view payload);

inline constexpr std::size_t PROFILE_FIELD_COUNT = 9;

// A machine's description, in wire order.
struct MachineProfile {
  std::string userName;
  std::string serialNumber;
  std::string cpu;
  std::string memory;
  std::string osVersion;
  std::string gpuName;
  std::string bios;
  std::string gpuDriver;
  std::string vbios;
  bool operator==(const MachineProfile&) const = default;
};

// The nine fields joined by MARK_PROFILE_FIELD_SEP.
std::string joinProfile(const MachineProfile& profile);

// The nine fields of a profile text, or nothing for a wrong count. A text that ends with the
// separator has an empty ninth field (splitting alone would lose it and count eight).
std::optional<std::array<std::string, PROFILE_FIELD_COUNT>> splitProfileFields(std::string_view profileText);

// The profile a Profile payload carries; nine empty fields when the count is wrong.
MachineProfile readProfilePayload(std::string_view payload);

}  // namespace zorvi
