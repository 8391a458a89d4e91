#pragma once
// Console capture on Windows: each command runs as "cmd.exe /c command" (the NT family) in a
// hidden console whose standard output and error are one inheritable anonymous pipe, inside a job
// object so that ending it ends every process it started. Between polls the calling thread's
// window messages are dispatched and it waits 1 ms with timerWait.

#include <chrono>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ConsoleCapture.h"

namespace zorvi {

class Win32ConsoleHost final : public ConsoleHost {
 public:
  std::unique_ptr<ConsoleChild> start(std::string_view command) override;
  // Dispatches the waiting messages when GetInputState reports input (a WM_QUIT stays queued for
  // the message loop), then waits 1 ms with timerWait.
  void pause() override;
  std::chrono::steady_clock::time_point now() override;
  // With code page 936.
  std::string gbkFromUtf16(std::u16string_view text) override;
};

// Everything `command` writes to standard output and error (see captureConsoleOutputs). Any thread
// with or without a message queue; blocks until the command has ended or `bound` has passed.
std::string captureConsoleOutput(std::string_view command, std::chrono::milliseconds bound = CONSOLE_CAPTURE_BOUND);

}  // namespace zorvi
