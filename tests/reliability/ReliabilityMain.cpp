// The fault tests run in a network namespace of their own (see NetworkIsolation.h): their floods,
// storms and bursts can reach nothing but this process, and an announced host name is looked up
// and refused here instead of being asked of the machine's name server.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "tests/reliability/NetworkIsolation.h"

int main(int argc, char** argv) {
  const std::string problem = zorvi::test::isolateNetwork();  // first: no thread runs yet
  // A burst of a thousand connections needs two descriptors each while it lasts.
  rlimit descriptors{};
  if (getrlimit(RLIMIT_NOFILE, &descriptors) == 0) {
    descriptors.rlim_cur = descriptors.rlim_max;
    setrlimit(RLIMIT_NOFILE, &descriptors);
  }
  testing::InitGoogleTest(&argc, argv);
  if (!problem.empty()) {
    std::fprintf(stderr, "note: no network namespace of our own (%s); tests that need one skip\n", problem.c_str());
  }
  return RUN_ALL_TESTS();
}
