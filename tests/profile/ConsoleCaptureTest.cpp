#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "profile/ConsoleCapture.h"
#include "profile/posix/PosixConsoleHost.h"
#include "tests/profile/FakeConsole.h"

namespace zorvi {
namespace {

using namespace std::chrono_literals;
using test::ScriptedCommand;
using test::ScriptedConsoleHost;

TEST(ConsoleCaptureLoop, GathersEveryPieceInArrivalOrder) {
  ScriptedConsoleHost host;
  host.script("tool", ScriptedCommand::inPieces("line one\r\nline two\r\n", 3));
  EXPECT_EQ(captureConsoleOutput(host, "tool"), "line one\r\nline two\r\n");
}

TEST(ConsoleCaptureLoop, ZeroByteCutsOnlyTheReadItArrivedIn) {
  ScriptedConsoleHost host;
  ScriptedCommand command;
  command.writes = {{0, std::string("ab\0cd", 5)}, {2, "ef"}, {4, std::string("\0gh", 3)}, {6, "ij"}};
  command.endTick = 8;
  host.script("tool", command);
  EXPECT_EQ(captureConsoleOutput(host, "tool"), "abefij");
}

TEST(ConsoleCaptureLoop, CommandThatPrintsNothingOrNeverStartsGivesEmptyText) {
  ScriptedConsoleHost host;
  host.script("silent", ScriptedCommand{{}, 5, {}, false});
  EXPECT_EQ(captureConsoleOutput(host, "silent"), "");
  EXPECT_EQ(captureConsoleOutput(host, "not scripted: ended at once"), "");
}

TEST(ConsoleCaptureLoop, BytesWrittenAsTheCommandEndsAreNotLost) {
  ScriptedConsoleHost host;
  ScriptedCommand command = ScriptedCommand::inPieces("first ", 100);
  command.lastWords = "last words";
  host.script("tool", command);
  EXPECT_EQ(captureConsoleOutput(host, "tool"), "first last words");
}

TEST(ConsoleCaptureLoop, FailedReadsGiveEmptyPiecesUntilTheBoundEndsTheCommand) {
  ScriptedConsoleHost host;
  ScriptedCommand command = ScriptedCommand::inPieces("never readable", 4);
  command.failsReads = true;
  command.endTick = 20;
  host.script("tool", command);
  EXPECT_EQ(captureConsoleOutput(host, "tool", 100ms), "");
  EXPECT_EQ(host.endedByHost, std::vector<std::string>{"tool"});  // bytes that stay waiting never end it
  EXPECT_EQ(host.tick(), 100);
}

TEST(ConsoleCaptureLoop, CommandOutlivingTheBoundIsEndedAndKeepsWhatItWrote) {
  ScriptedConsoleHost host;
  ScriptedCommand hung;
  hung.writes = {{0, "started\r\n"}, {10, "still going\r\n"}, {500, "too late\r\n"}};
  hung.endTick = 1'000'000;
  host.script("hung", hung);
  EXPECT_EQ(captureConsoleOutput(host, "hung", 50ms), "started\r\nstill going\r\n");
  EXPECT_EQ(host.endedByHost, std::vector<std::string>{"hung"});
  EXPECT_EQ(host.tick(), 50);
}

TEST(ConsoleCaptureLoop, CommandsRunTogetherAndTheSlowestSetsTheLength) {
  ScriptedConsoleHost host;
  for (const char* name : {"a", "b", "c"}) {
    ScriptedCommand command;
    command.writes = {{299, std::string("output of ") + name}};
    command.endTick = 300;
    host.script(name, command);
  }
  const std::string commands[] = {"a", "b", "c"};
  EXPECT_EQ(captureConsoleOutputs(host, commands),
            (std::vector<std::string>{"output of a", "output of b", "output of c"}));
  EXPECT_EQ(host.startTicks, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(host.tick(), 300);  // not 900
}

TEST(ConsoleCaptureLoop, EachChildIsReleasedAsSoonAsItEnds) {
  ScriptedConsoleHost host;
  host.script("quick", ScriptedCommand::inPieces("q", 1, 1));
  host.script("slow", ScriptedCommand::inPieces("s", 1, 40));
  const std::string commands[] = {"slow", "quick"};
  captureConsoleOutputs(host, commands);
  EXPECT_EQ(host.released, (std::vector<std::string>{"quick", "slow"}));
}

TEST(ConsoleCaptureLoop, Utf16OutputWithByteOrderMarkIsDecodedToGbk) {
  // "SN" and "中" (U+4E2D, GBK D6 D0), the mark split across two reads, a zero character and an odd
  // last byte that is no character.
  const std::string utf16("\xFF\xFES\0N\0\x2D\x4E\0\0\r\0\n\0\x41", 15);
  ScriptedConsoleHost host;
  host.script("wmic", ScriptedCommand::inPieces(utf16, 1));
  EXPECT_EQ(captureConsoleOutput(host, "wmic"), "SN\xD6\xD0\r\n");
}

TEST(ConsoleCaptureLoop, GbkOutputIsNotMistakenForUtf16) {
  ScriptedConsoleHost host;
  host.script("tool", ScriptedCommand::inPieces("\xFE\xFF"
                                                "ab",
                                                4));  // FF FE reversed is no mark
  EXPECT_EQ(captureConsoleOutput(host, "tool"),
            "\xFE\xFF"
            "ab");
}

TEST(ConsoleCaptureLoop, FloodedOutputIsReadToItsEndButKeptWithinTheLimit) {
  ScriptedConsoleHost host;
  const std::size_t piece = 1024 * 1024;
  host.script("flood", ScriptedCommand::inPieces(std::string(CONSOLE_OUTPUT_LIMIT + 3 * piece, 'x'), piece));
  const std::string output = captureConsoleOutput(host, "flood");
  EXPECT_GE(output.size(), CONSOLE_OUTPUT_LIMIT);
  EXPECT_LT(output.size(), CONSOLE_OUTPUT_LIMIT + piece);
  EXPECT_TRUE(host.endedByHost.empty());
}

TEST(InterpreterCommandLine, PrefixByPlatform) {
  EXPECT_EQ(interpreterCommandLine(true, "wmic bios get serialnumber"), "cmd.exe /c wmic bios get serialnumber");
  EXPECT_EQ(interpreterCommandLine(false, "nvidia-smi -q"), "command.com /c nvidia-smi -q");
}

// The same loop against real processes.
class PosixCapture : public ::testing::Test {
 protected:
  PosixConsoleHost host;
};

TEST_F(PosixCapture, StandardErrorIsMergedInWritingOrder) {
  EXPECT_EQ(captureConsoleOutput(host, "printf 'out\\n'; printf 'err\\n' >&2; printf 'out2\\n'"), "out\nerr\nout2\n");
  // The interpreter's own complaint about a missing tool goes to standard error.
  EXPECT_NE(captureConsoleOutput(host, "no-such-tool-zorvi -q").find("no-such-tool-zorvi"), std::string::npos);
}

TEST_F(PosixCapture, CommandThatPrintsNothingGivesEmptyText) { EXPECT_EQ(captureConsoleOutput(host, "true"), ""); }

TEST_F(PosixCapture, ZeroByteCutsItsRead) {
  EXPECT_EQ(captureConsoleOutput(host, "printf 'ab\\000cd'; sleep 0.3; printf 'ef'"), "abef");
}

TEST_F(PosixCapture, StandardInputIsEmpty) { EXPECT_EQ(captureConsoleOutput(host, "cat; echo done"), "done\n"); }

TEST_F(PosixCapture, Utf16OutputIsDecoded) {
  EXPECT_EQ(captureConsoleOutput(host, "printf '\\377\\376S\\000N\\000\\055\\116'"), "SN\xD6\xD0");
  EXPECT_EQ(host.gbkFromUtf16(u"\U0001F600"), "??");  // no GBK form: one "?" per code unit
}

bool processHasEnded(const std::string& pid) {
  std::ifstream status("/proc/" + pid + "/stat");
  std::string pidField, name, state;
  // Ended, or a zombie left for a parent that has not reaped it yet.
  return !(status >> pidField >> name >> state) || state == "Z";
}

// SIGKILL is delivered when the killed process next runs, which on a loaded machine may be a
// moment after kill() returns; a process that survives five seconds was never signalled.
bool processIsGone(const std::string& pid) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!processHasEnded(pid)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST_F(PosixCapture, HungCommandIsEndedWithEverythingItStarted) {
  const std::string output = captureConsoleOutput(host, "sleep 30 & echo $!; wait", 300ms);
  ASSERT_FALSE(output.empty());
  const std::string sleeperPid = output.substr(0, output.find('\n'));
  EXPECT_EQ(output, sleeperPid + "\n");
  EXPECT_TRUE(processIsGone(sleeperPid));
}

TEST_F(PosixCapture, ThreeCommandsGiveTheirOutputsInOrder) {
  const std::string commands[] = {"sleep 0.2; echo one", "echo two", "sleep 0.1; echo three >&2"};
  EXPECT_EQ(captureConsoleOutputs(host, commands), (std::vector<std::string>{"one\n", "two\n", "three\n"}));
}

}  // namespace
}  // namespace zorvi
