#pragma once
// What the console capture needs from the operating system: a command started in a hidden console
// with its standard output and standard error joined in one pipe, a look into that pipe that never
// waits, and a short pause between looks that keeps the calling thread's messages flowing.

#include <chrono>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zorvi {

// One started command. Used by the thread that started it only. Destroying it releases every handle
// it holds and ends the command if it still runs.
class ConsoleChild {
 public:
  virtual ~ConsoleChild() = default;

  // How many bytes wait in the pipe; 0 when none do or the pipe cannot be looked into.
  virtual std::size_t bytesWaiting() = 0;

  // Reads at most `buffer.size()` of the waiting bytes; returns how many were read, 0 on failure.
  virtual std::size_t read(std::span<char> buffer) = 0;

  // True once the command has ended, and for a command that never started.
  virtual bool hasEnded() = 0;

  // Ends the command and every process it started. What it wrote before stays readable.
  virtual void end() = 0;
};

class ConsoleHost {
 public:
  virtual ~ConsoleHost() = default;

  // Starts `command` through the system's command interpreter. Never null: a command that cannot
  // be started gives a child that has ended without writing anything.
  virtual std::unique_ptr<ConsoleChild> start(std::string_view command) = 0;

  // The pause between two polls (about a millisecond); the thread's messages are handled meanwhile.
  virtual void pause() = 0;

  virtual std::chrono::steady_clock::time_point now() = 0;

  // UTF-16 text as GBK bytes; a character GBK lacks becomes "?".
  virtual std::string gbkFromUtf16(std::u16string_view text) = 0;
};

}  // namespace zorvi
