#include "protocol/LocalClock.h"

#include <chrono>
#include <ctime>

namespace zorvi {
namespace {

constexpr std::int64_t EPOCH_OFFSET_SECONDS = 8 * 3600;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

}  // namespace

std::int64_t secondsSinceLocalEpoch(int year, int month, int day, int hour, int minute, int second) {
  const std::int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  const std::int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second - EPOCH_OFFSET_SECONDS;
  return seconds < 0 ? 0 : seconds;
}

LocalClockReading readLocalClock() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t whole = std::chrono::system_clock::to_time_t(now);
  const auto sinceWhole = now - std::chrono::system_clock::from_time_t(whole);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &whole);
#else
  localtime_r(&whole, &local);
#endif
  LocalClockReading reading;
  reading.seconds = secondsSinceLocalEpoch(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                           local.tm_min, local.tm_sec);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(sinceWhole).count();
  reading.milliseconds = millis < 0 ? 0 : (millis > 999 ? 999 : static_cast<int>(millis));
  return reading;
}

}  // namespace zorvi
