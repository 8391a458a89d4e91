#pragma once
// The system's clock reading: local time counted from local 1970-01-01 08:00:00. On a machine at
// UTC+8 the seconds equal Unix time; elsewhere they are shifted by the difference of time zones.

#include <cstdint>

namespace zorvi {

struct LocalClockReading {
  std::int64_t seconds = 0;  // whole seconds since local 1970-01-01 08:00:00, never negative
  int milliseconds = 0;      // 0 to 999
};

LocalClockReading readLocalClock();

// Seconds from local 1970-01-01 08:00:00 to the given local calendar time (clamped at 0).
std::int64_t secondsSinceLocalEpoch(int year, int month, int day, int hour, int minute, int second);

}  // namespace zorvi
