#pragma once
// Where a screenshot goes and what it is called. All text GBK. Pure functions plus the clock read.

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/LocalClock.h"

namespace zorvi {

// The per-user screenshot folder: the desktop directory with "\" appended unless it already ends
// in one, then the user name (may be empty), then "测试数据", with no separator between the last
// two. The trailing "\" test is GBK-aware: a two-byte character whose second byte is 0x5C does not
// count as a backslash.
std::string testDataFolder(std::string_view desktopDirectory, std::string_view userName);

// Whole seconds since local 1970-01-01 08:00:00 in decimal, never padded, then "000".
std::string formatShotStamp(std::int64_t seconds);

// The stamp for the current local time.
std::string shotStamp();

// folder + "\" + stamp + ".png".
std::string shotFilePath(std::string_view folder, std::string_view stamp);

}  // namespace zorvi
