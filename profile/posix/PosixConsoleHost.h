#pragma once
// The console host on POSIX systems, so the capture runs against real processes in native tests and
// benchmarks: "/bin/sh -c command" with standard output and error joined in one pipe, standard input
// from /dev/null, in a process group of its own so that ending it ends everything it started.

#include "profile/ConsoleChild.h"

namespace zorvi {

class PosixConsoleHost final : public ConsoleHost {
 public:
  std::unique_ptr<ConsoleChild> start(std::string_view command) override;
  // Sleeps one millisecond (a POSIX thread has no window messages to handle).
  void pause() override;
  std::chrono::steady_clock::time_point now() override;
  // Through iconv; a character GBK lacks becomes "?".
  std::string gbkFromUtf16(std::u16string_view text) override;
};

}  // namespace zorvi
