#include "input/ThreadPriority.h"

#include <windows.h>

namespace zorvi {

void runBelowNormalPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

}  // namespace zorvi
