#pragma once
// The VBScript the COM script control runs to read hardware traits from WMI, and the text rules
// around its answers. Portable: the script host itself lives in win32/.

#include <optional>
#include <string>
#include <string_view>

namespace zorvi {

inline constexpr std::string_view TRAIT_FUNCTION = "GetTrait";
inline constexpr int TRAIT_INDEX_BIOS = 5;

// The key `GetTrait` takes for an index: 0 "磁盘序列号", 1 "CPUID", 2 "MAC", 3 "声卡", 4 "显卡",
// 5 "BIOS"; nothing outside 0 to 5.
std::optional<std::string_view> hardwareTraitKey(int index);

// The 43 lines that define `GetTrait(P)`, joined by CR LF, with none after the last line.
std::string hardwareTraitScript();

// `text` without leading and trailing spaces: the ASCII space and the GBK full-width space A1 A1,
// recognised only where a character begins.
std::string trimTraitSpaces(std::string_view text);

// The script that stands in for "wmic" where it is missing. Its function `WmicStandIn(P)` gives for
// the key "SerialNumber" the BIOS serial number, for "Capacity" the capacity of every memory module
// in bytes, each followed by CR LF.
inline constexpr std::string_view WMI_FALLBACK_FUNCTION = "WmicStandIn";
inline constexpr std::string_view WMI_SERIAL_KEY = "SerialNumber";
inline constexpr std::string_view WMI_CAPACITIES_KEY = "Capacity";
std::string wmiFallbackScript();

}  // namespace zorvi
