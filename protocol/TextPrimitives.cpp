#include "protocol/TextPrimitives.h"

#include <charconv>
#include <cstdlib>

namespace zorvi {

std::size_t findText(std::string_view text, std::string_view pattern, std::size_t start) {
  std::size_t pos = start;
  while (pos <= text.size() && text.size() - pos >= pattern.size()) {
    if (text.compare(pos, pattern.size(), pattern) == 0) {
      return pos;
    }
    if (pos == text.size()) {
      break;
    }
    if (isGbkLeadByte(text[pos])) {
      if (pos + 1 >= text.size()) {
        break;
      }
      pos += 2;
    } else {
      pos += 1;
    }
  }
  return TEXT_NOT_FOUND;
}

std::vector<std::string> splitText(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) {
    return pieces;
  }
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  for (std::size_t at = findText(text, separator, 0); at != TEXT_NOT_FOUND;
       at = findText(text, separator, pieceStart)) {
    pieces.emplace_back(text.substr(pieceStart, at - pieceStart));
    pieceStart = at + separator.size();
  }
  if (pieceStart < text.size()) {
    pieces.emplace_back(text.substr(pieceStart));
  }
  return pieces;
}

std::string textBetween(std::string_view text, std::string_view head, std::string_view tail) {
  const std::size_t headAt = findText(text, head, 0);
  if (headAt == TEXT_NOT_FOUND) {
    return {};
  }
  const std::size_t start = headAt + head.size();
  const std::size_t tailAt = findText(text, tail, start);
  if (tailAt == TEXT_NOT_FOUND) {
    return {};
  }
  return std::string(text.substr(start, tailAt - start));
}

std::string replaceText(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) {
    return std::string(text);
  }
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t at = findText(text, pattern, 0); at != TEXT_NOT_FOUND;
       at = findText(text, pattern, copied)) {
    result.append(text.substr(copied, at - copied));
    result.append(replacement);
    copied = at + pattern.size();
  }
  result.append(text.substr(copied));
  return result;
}

std::string_view textBeforeZero(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

double readDecimal(std::string_view text) {
  std::size_t pos = text.find_first_not_of(" \t\n\v\f\r");
  if (pos == std::string_view::npos) {
    return 0.0;
  }
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') {
    negative = text[pos] == '-';
    ++pos;
  }
  double value = 0.0;
  const char* first = text.data() + pos;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error == std::errc::invalid_argument) {
    return 0.0;
  }
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves the value alone here; strtod gives the overflow or underflow result.
    value = std::strtod(std::string(first, end).c_str(), nullptr);
  }
  return negative ? -value : value;
}

std::string formatGeneral(double value, int significantDigits) {
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
  if (error != std::errc{}) {
    return {};
  }
  return std::string(buffer, end);
}

}  // namespace zorvi
