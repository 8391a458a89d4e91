#include "profile/ConsoleCapture.h"

#include <memory>
#include <utility>

#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

struct RunningCapture {
  std::unique_ptr<ConsoleChild> child;
  std::vector<std::string> reads;  // kept apart: a zero byte cuts only the read it arrived in
  std::size_t keptBytes = 0;
};

// One look into the pipe, taking exactly the bytes that wait (a read of them never blocks).
// Returns false when nothing waited.
bool takeWaitingBytes(RunningCapture& capture) {
  const std::size_t waiting = capture.child->bytesWaiting();
  if (waiting == 0) {
    return false;
  }
  std::string buffer(waiting, '\0');
  buffer.resize(capture.child->read(buffer));
  if (capture.keptBytes < CONSOLE_OUTPUT_LIMIT) {
    capture.keptBytes += buffer.size();
    capture.reads.push_back(std::move(buffer));
  }
  return true;
}

// The child has ended or was ended: whatever it wrote between the last look and its end is still
// in the pipe, so look once more before letting it go.
void finish(RunningCapture& capture) {
  takeWaitingBytes(capture);
  capture.child.reset();
}

bool startsWithUtf16Bom(const std::vector<std::string>& reads) {
  std::string start;
  for (const std::string& read : reads) {
    start.append(read.substr(0, 2 - start.size()));
    if (start.size() == 2) {
      break;
    }
  }
  return start == "\xFF\xFE";
}

std::string outputText(ConsoleHost& host, const std::vector<std::string>& reads) {
  std::string text;
  if (!startsWithUtf16Bom(reads)) {
    for (const std::string& read : reads) {
      text.append(textBeforeZero(read));
    }
    return text;
  }
  for (const std::string& read : reads) {
    text.append(read);
  }
  std::u16string units;
  units.reserve(text.size() / 2);
  for (std::size_t at = 2; at + 1 < text.size(); at += 2) {  // an odd last byte is no character
    const auto unit =
        static_cast<char16_t>(static_cast<unsigned char>(text[at]) | (static_cast<unsigned char>(text[at + 1]) << 8));
    if (unit != 0) {
      units.push_back(unit);
    }
  }
  return host.gbkFromUtf16(units);
}

}  // namespace

std::vector<std::string> captureConsoleOutputs(ConsoleHost& host, std::span<const std::string> commands,
                                               std::chrono::milliseconds bound) {
  const auto deadline = host.now() + bound;
  std::vector<RunningCapture> captures(commands.size());
  for (std::size_t i = 0; i < commands.size(); ++i) {
    captures[i].child = host.start(commands[i]);
  }

  for (;;) {
    bool running = false;
    for (RunningCapture& capture : captures) {
      if (!capture.child) {
        continue;
      }
      // The end is checked only when the pipe was found empty, so earlier output is read first.
      if (!takeWaitingBytes(capture) && capture.child->hasEnded()) {
        finish(capture);
      } else {
        running = true;
      }
    }
    if (!running) {
      break;
    }
    if (host.now() >= deadline) {
      for (RunningCapture& capture : captures) {
        if (capture.child) {
          capture.child->end();
          finish(capture);
        }
      }
      break;
    }
    host.pause();
  }

  std::vector<std::string> outputs;
  outputs.reserve(captures.size());
  for (const RunningCapture& capture : captures) {
    outputs.push_back(outputText(host, capture.reads));
  }
  return outputs;
}

std::string captureConsoleOutput(ConsoleHost& host, std::string_view command, std::chrono::milliseconds bound) {
  const std::string commands[] = {std::string(command)};
  return std::move(captureConsoleOutputs(host, commands, bound).front());
}

std::string interpreterCommandLine(bool ntFamily, std::string_view command) {
  std::string line = ntFamily ? "cmd.exe /c " : "command.com /c ";
  line.append(command);
  return line;
}

}  // namespace zorvi
