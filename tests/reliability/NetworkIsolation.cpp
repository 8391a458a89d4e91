#include "tests/reliability/NetworkIsolation.h"

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace zorvi::test {
namespace {

bool isolated = false;

std::string failure(const char* step) { return std::string(step) + ": " + std::strerror(errno); }

// Without CAP_SYS_ADMIN a user namespace gives it; the uid and gid are mapped to ourselves.
bool enterUserNamespace() {
  const uid_t uid = getuid();
  const gid_t gid = getgid();
  if (unshare(CLONE_NEWUSER) != 0) {
    return false;
  }
  std::ofstream("/proc/self/setgroups") << "deny";
  std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
  std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
  return true;
}

std::string bringLoopbackUp() {
  const int control = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (control < 0) {
    return failure("socket");
  }
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  std::string problem;
  if (ioctl(control, SIOCGIFFLAGS, &request) != 0) {
    problem = failure("SIOCGIFFLAGS lo");
  } else {
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    if (ioctl(control, SIOCSIFFLAGS, &request) != 0) {
      problem = failure("SIOCSIFFLAGS lo");
    }
  }
  close(control);
  return problem;
}

}  // namespace

std::string isolateNetwork() {
  if (isolated) {
    return {};
  }
  if (unshare(CLONE_NEWNET) != 0) {
    const std::string asRoot = failure("unshare(CLONE_NEWNET)");
    if (!enterUserNamespace()) {
      return asRoot + "; " + failure("unshare(CLONE_NEWUSER)");
    }
    if (unshare(CLONE_NEWNET) != 0) {
      return failure("unshare(CLONE_NEWNET) in a user namespace");
    }
  }
  std::string problem = bringLoopbackUp();
  isolated = problem.empty();
  return problem;
}

bool networkIsolated() { return isolated; }

}  // namespace zorvi::test
