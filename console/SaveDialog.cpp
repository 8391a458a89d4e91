#include "console/SaveDialog.h"

#include "protocol/TextPrimitives.h"

namespace zorvi {

std::string zeroSeparatedFilter(std::string_view filter) {
  std::string result;
  result.reserve(filter.size() + 2);
  for (std::size_t at = 0; at < filter.size(); ++at) {
    // 0x7C ("|") is also a valid GBK trail byte: step over two-byte characters whole.
    if (isGbkLeadByte(filter[at]) && at + 1 < filter.size()) {
      result.append(filter.substr(at, 2));
      ++at;
    } else {
      result.push_back(filter[at] == '|' ? '\0' : filter[at]);
    }
  }
  result.append(2, '\0');
  return result;
}

}  // namespace zorvi
