#pragma once
// The text primitives every parser of the system rests on. All text is GBK bytes; positions and
// lengths are byte counts. A byte of 0x80 or more begins a two-byte character, and a pattern only
// ever matches where a character begins.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvi {

inline constexpr std::size_t TEXT_NOT_FOUND = std::string_view::npos;

// True when the byte begins a two-byte GBK character.
constexpr bool isGbkLeadByte(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

// Position of the first match of `pattern` at or after `start`, stepping over whole GBK
// characters, or TEXT_NOT_FOUND. A lead byte at the very end of the text ends the search.
std::size_t findText(std::string_view text, std::string_view pattern, std::size_t start = 0);

// Pieces of `text` between separators. An empty text gives no pieces, an empty separator the
// whole text; a leading or doubled separator gives empty pieces, a trailing one none.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);

// The text between the first `head` and the first `tail` after it; empty when either is missing.
std::string textBetween(std::string_view text, std::string_view head, std::string_view tail);

// Every match of `pattern`, scanning from the left without overlaps, replaced by `replacement`.
std::string replaceText(std::string_view text, std::string_view pattern, std::string_view replacement);

// A received block as the program sees it: the bytes up to, not including, the first zero byte.
std::string_view textBeforeZero(std::string_view bytes);

// The decimal number at the start of `text`, read the way C's strtod reads it (leading spaces,
// sign, digits, fraction, exponent); 0 when the text does not start with a number. Independent of
// the C locale.
double readDecimal(std::string_view text);

// `value` as C's "%.<significantDigits>g" writes it, independent of the C locale.
std::string formatGeneral(double value, int significantDigits);

}  // namespace zorvi
