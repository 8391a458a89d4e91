#pragma once
// Lets the test thread dispatch its messages (and so run the low-level hooks it installed) until a
// condition holds or a time bound passes.

#include <windows.h>

#include "input/win32/MessageWaits.h"

namespace zorvi::fakes {

template <typename Condition>
bool pumpUntil(Condition condition, unsigned boundMilliseconds = 3000) {
  const ULONGLONG deadline = GetTickCount64() + boundMilliseconds;
  while (!condition()) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    timerWait(5);
  }
  return true;
}

inline void pumpFor(unsigned milliseconds) {
  pumpUntil([] { return false; }, milliseconds);
}

}  // namespace zorvi::fakes
