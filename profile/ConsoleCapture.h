#pragma once
// Console command capture: runs commands through the command interpreter and gathers everything
// they write to standard output and standard error, polling the pipes while the calling thread's
// messages keep flowing (through ConsoleHost::pause).

#include <chrono>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ConsoleChild.h"

namespace zorvi {

// A command still running after this long is ended; a hung tool never holds up the profile.
inline constexpr std::chrono::milliseconds CONSOLE_CAPTURE_BOUND{20000};

// Bytes kept per command; a tool that floods its pipe is still read to its end, the rest dropped.
inline constexpr std::size_t CONSOLE_OUTPUT_LIMIT = 16u * 1024u * 1024u;

// Runs all `commands` at the same time and returns their outputs in the same order, each once
// every command has ended, so the call lasts as long as the slowest command.
// An output holds what its command wrote to standard output and standard error in arrival order;
// each read's bytes count only up to their first zero byte. Output that begins with the UTF-16LE
// byte-order mark (FF FE) is decoded to GBK instead (zero characters dropped). A command still
// running after `bound` is ended with every process it started, and what it wrote so far is its
// output. Never fails: a command that cannot run gives empty text.
std::vector<std::string> captureConsoleOutputs(ConsoleHost& host, std::span<const std::string> commands,
                                               std::chrono::milliseconds bound = CONSOLE_CAPTURE_BOUND);

// One command, as above.
std::string captureConsoleOutput(ConsoleHost& host, std::string_view command,
                                 std::chrono::milliseconds bound = CONSOLE_CAPTURE_BOUND);

// The command line handed to the interpreter: "cmd.exe /c " + command on the NT family of Windows,
// "command.com /c " + command on any other platform.
std::string interpreterCommandLine(bool ntFamily, std::string_view command);

}  // namespace zorvi
