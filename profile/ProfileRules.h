#pragma once
// The fixed text rules that cut the raw output of each source down to a profile value. All text is
// GBK; to remove a text is to replace every match, from the left and without overlaps, by nothing.

#include <span>
#include <string>
#include <string_view>

namespace zorvi {

// The serial number in the output of "wmic bios get serialnumber": spaces and line ends removed,
// then the 12-byte column heading dropped ("To be filled by O.E.M." gives "TobefilledbyO.E.M.").
std::string serialFromWmic(std::string_view output);

// A serial number WMI gave directly, cleaned by the same removals (it has no heading to drop).
std::string serialFromWmiValue(std::string_view value);

// True when the first thing the tool printed (after spaces and line ends) is `heading`. A missing
// tool, an error or "No Instance(s) Available." prints none.
bool wmicPrintsHeading(std::string_view output, std::string_view heading);

// The processor brand shortened: the Intel prefix, "AMD ", the listed frequencies and the Radeon
// suffix removed in a fixed order, then "Ryzen " written "R" ("AMD Ryzen 7 4800H with Radeon
// Graphics" + nine spaces gives "R7 4800H").
std::string shortenCpuBrand(std::string_view brand);

// The memory modules in the output of "wmic memorychip get Capacity", as "8G + 8G": one size per
// line of more than 2 bytes (after spaces and the heading are removed), in GiB.
std::string memoryFromWmic(std::string_view output);

// The same value from module capacities WMI gave directly (decimal byte counts); empty ones skipped.
std::string memoryFromCapacities(std::span<const std::string> capacities);

// A field of a "nvidia-smi -q" report: the text after `fieldName`, any run of spaces and ": ", up to
// the next CR LF. Empty when the field or the line end after it is missing.
std::string nvidiaSmiValue(std::string_view report, std::string_view fieldName);

}  // namespace zorvi
