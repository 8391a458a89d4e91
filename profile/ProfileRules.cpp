#include "profile/ProfileRules.h"

#include <cmath>
#include <limits>

#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

constexpr std::size_t WMIC_SERIAL_HEADING_BYTES = 12;  // "SerialNumber"
constexpr double BYTES_PER_GIB = 1073741824.0;

constexpr std::string_view CPU_BRAND_REMOVALS[] = {
    "Intel(R) Core(TM) ", "AMD ",           " CPU @ 1.90GHz", " CPU @ 2.00GHz", " CPU @ 2.10GHz",
    " CPU @ 2.20GHz",     " CPU @ 2.60GHz", " CPU @ 2.30GHz", " CPU @ 2.40GHz", " CPU @ 2.50GHz",
    " CPU @ 2.70GHz",     " CPU @ 2.80GHz", " CPU @ 2.90GHz", " CPU @ 3.00GHz", " CPU @ 3.10GHz",
    " CPU @ 3.20GHz",     " CPU @ 3.30GHz", " CPU @ 3.40GHz", " CPU @ 3.50GHz", " with Radeon Graphics         ",
};

std::string removeText(std::string_view text, std::string_view pattern) { return replaceText(text, pattern, ""); }

std::string withoutSpacesAndLineEnds(std::string_view text) {
  std::string cleaned = removeText(text, " ");
  cleaned = removeText(cleaned, "\r\n");
  cleaned = removeText(cleaned, " ");
  return removeText(cleaned, "\r");
}

// A size as C's atof reads it, held in single precision like the original value.
float singlePrecision(std::string_view decimal) {
  const double value = readDecimal(decimal);
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) {
    return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

void appendModule(std::string& memory, std::string_view capacity) {
  if (!memory.empty()) {
    memory.append(" + ");
  }
  memory.append(formatGeneral(singlePrecision(capacity) / BYTES_PER_GIB, 13)).append("G");
}

}  // namespace

std::string serialFromWmic(std::string_view output) {
  const std::string cleaned = withoutSpacesAndLineEnds(output);
  return cleaned.size() > WMIC_SERIAL_HEADING_BYTES ? cleaned.substr(WMIC_SERIAL_HEADING_BYTES) : std::string();
}

std::string serialFromWmiValue(std::string_view value) { return withoutSpacesAndLineEnds(value); }

bool wmicPrintsHeading(std::string_view output, std::string_view heading) {
  const std::size_t first = output.find_first_not_of(" \r\n");
  return first != std::string_view::npos && output.substr(first).starts_with(heading);
}

std::string shortenCpuBrand(std::string_view brand) {
  std::string shortened(brand);
  for (const std::string_view removal : CPU_BRAND_REMOVALS) {
    shortened = removeText(shortened, removal);
  }
  return replaceText(shortened, "Ryzen ", "R");
}

std::string memoryFromWmic(std::string_view output) {
  const std::string sizes = removeText(removeText(output, " "), "Capacity");
  std::string memory;
  for (const std::string& line : splitText(sizes, "\r\n")) {
    if (line.size() > 2) {
      appendModule(memory, line);
    }
  }
  return memory;
}

std::string memoryFromCapacities(std::span<const std::string> capacities) {
  std::string memory;
  for (const std::string& capacity : capacities) {
    if (!capacity.empty()) {
      appendModule(memory, capacity);
    }
  }
  return memory;
}

std::string nvidiaSmiValue(std::string_view report, std::string_view fieldName) {
  if (fieldName.empty()) {
    return {};
  }
  for (std::size_t at = findText(report, fieldName); at != TEXT_NOT_FOUND;
       at = findText(report, fieldName, at + fieldName.size())) {
    std::size_t colon = at + fieldName.size();
    while (colon < report.size() && report[colon] == ' ') {
      ++colon;
    }
    if (report.substr(colon, 2) != ": ") {
      continue;  // the name inside some other text; look further
    }
    const std::size_t start = colon + 2;
    const std::size_t end = findText(report, "\r\n", start);
    return end == TEXT_NOT_FOUND ? std::string() : std::string(report.substr(start, end - start));
  }
  return {};
}

}  // namespace zorvi
