#pragma once
// The rule for reading the logged-on user's name into a fixed 50-byte buffer: a longer name is not
// read at all. The Windows reader is win32/LoginName.h.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zorvi {

inline constexpr std::size_t LOGIN_NAME_BUFFER_BYTES = 50;

// Calls `getUserName` the way GetUserNameA is called: a buffer of LOGIN_NAME_BUFFER_BYTES filled
// with spaces and its size; the call writes the name and a zero byte and returns true, or returns
// false when it cannot (a name of 50 bytes or more does not fit with its zero byte).
// Returns the buffer's text up to its first zero byte, or empty text when the call failed.
std::string loginNameThrough(const std::function<bool(char* buffer, std::uint32_t* size)>& getUserName);

}  // namespace zorvi
