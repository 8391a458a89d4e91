// Bounded polling: every wait of the probe ends by its deadline.
#pragma once

#include <windows.h>

namespace zorvi::room {

inline constexpr DWORD POLL_INTERVAL_MS = 50;

// Calls `condition` until it returns true or `seconds` have passed; true when it came true.
template <typename Condition>
bool pollFor(double seconds, Condition condition) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
  for (;;) {
    if (condition()) {
      return true;
    }
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(POLL_INTERVAL_MS);
  }
}

}  // namespace zorvi::room
