#pragma once
// Test double of the console host that behaves like a pipe and a process: output appears at given
// poll ticks and stays until read, reads take what waits, the child ends at its tick or when ended.
// Time is the host's own clock, one millisecond per pause, so bounds are exact and tests are fast.

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ConsoleChild.h"
#include "profile/posix/PosixConsoleHost.h"

namespace zorvi::test {

// What one command does, tick by tick (a tick is one millisecond of the fake clock).
struct ScriptedCommand {
  struct Write {
    int tick = 0;
    std::string bytes;
  };
  std::vector<Write> writes;
  int endTick = 0;          // the command ends by itself here (never, when it is bigger than any bound)
  std::string lastWords;    // written in the instant of ending, after the last look found the pipe empty
  bool failsReads = false;  // every read fails (returns 0) though bytes wait

  // `bytes` cut into pieces of `pieceBytes`, one piece per tick from tick 0, then the end.
  static ScriptedCommand inPieces(std::string_view bytes, std::size_t pieceBytes, int extraTicks = 1) {
    ScriptedCommand command;
    int tick = 0;
    for (std::size_t at = 0; at < bytes.size(); at += pieceBytes, ++tick) {
      command.writes.push_back({tick, std::string(bytes.substr(at, pieceBytes))});
    }
    command.endTick = tick + extraTicks;
    return command;
  }
};

class ScriptedConsoleHost final : public ConsoleHost {
 public:
  void script(std::string command, ScriptedCommand behaviour) { scripts_[std::move(command)] = std::move(behaviour); }

  std::unique_ptr<ConsoleChild> start(std::string_view command) override {
    started.emplace_back(command);
    startTicks.push_back(tick_);
    const auto found = scripts_.find(std::string(command));
    ScriptedCommand behaviour = found != scripts_.end() ? found->second : ScriptedCommand{};
    return std::make_unique<Child>(*this, std::move(behaviour), tick_, std::string(command));
  }
  void pause() override { ++tick_; }
  std::chrono::steady_clock::time_point now() override {
    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(tick_));
  }
  std::string gbkFromUtf16(std::u16string_view text) override { return PosixConsoleHost().gbkFromUtf16(text); }

  int tick() const { return tick_; }

  std::vector<std::string> started;
  std::vector<int> startTicks;
  std::vector<std::string> endedByHost;  // commands ended through ConsoleChild::end
  std::vector<std::string> released;     // commands whose child was destroyed, in that order

 private:
  class Child final : public ConsoleChild {
   public:
    Child(ScriptedConsoleHost& host, ScriptedCommand behaviour, int startTick, std::string command)
        : host_(host), behaviour_(std::move(behaviour)), startTick_(startTick), command_(std::move(command)) {}
    ~Child() override { host_.released.push_back(command_); }

    std::size_t bytesWaiting() override {
      arrive();
      return pipe_.size();
    }
    std::size_t read(std::span<char> buffer) override {
      arrive();
      if (behaviour_.failsReads) {
        return 0;
      }
      const std::size_t count = std::min(buffer.size(), pipe_.size());
      std::copy_n(pipe_.begin(), count, buffer.begin());
      pipe_.erase(0, count);
      return count;
    }
    bool hasEnded() override {
      if (!ended_ && elapsed() >= behaviour_.endTick) {
        ended_ = true;
        pipe_ += behaviour_.lastWords;
      }
      return ended_;
    }
    void end() override {
      host_.endedByHost.push_back(command_);
      arrive();
      ended_ = true;
    }

   private:
    int elapsed() const { return host_.tick_ - startTick_; }
    void arrive() {
      while (!ended_ && next_ < behaviour_.writes.size() && behaviour_.writes[next_].tick <= elapsed()) {
        pipe_ += behaviour_.writes[next_++].bytes;
      }
    }

    ScriptedConsoleHost& host_;
    ScriptedCommand behaviour_;
    int startTick_;
    std::string command_;
    std::string pipe_;
    std::size_t next_ = 0;
    bool ended_ = false;
  };

  std::map<std::string, ScriptedCommand> scripts_;
  int tick_ = 0;
};

}  // namespace zorvi::test
