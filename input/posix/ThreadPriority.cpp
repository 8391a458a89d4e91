#include "input/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace zorvi {
namespace {

// Linux keeps a nice value per thread; ten steps gives the thread about a tenth of the weight of a
// normal one, enough that its wake-up does not preempt the thread that woke it.
constexpr int NICE_STEPS_BELOW_NORMAL = 10;

}  // namespace

void runBelowNormalPriority() {
  const auto thread = static_cast<id_t>(gettid());
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, thread);
  if (errno != 0) {
    return;
  }
  setpriority(PRIO_PROCESS, thread, nice + NICE_STEPS_BELOW_NORMAL);
}

}  // namespace zorvi
