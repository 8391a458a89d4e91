// zorvi_probe: reads and drives the program's main window from another process of the same Wine
// prefix, printing one JSON object per line. Run with no arguments for the command list.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <map>

#include "Commands.h"
#include "JsonLine.h"
#include "ProbeError.h"

namespace {

using zorvi::room::Arguments;
using Command = int (*)(const Arguments&);

const std::map<std::wstring, Command>& commandTable() {
  using namespace zorvi::room;
  static const std::map<std::wstring, Command> table = {
      {L"dump", dumpCommand},
      {L"click", clickCommand},
      {L"tick", tickCommand},
      {L"untick", untickCommand},
      {L"settext", setTextCommand},
      {L"dblclick-profile", doubleClickProfileCommand},
      {L"close", closeCommand},
      {L"move", moveCommand},
      {L"dismiss", dismissCommand},
      {L"savefile", saveFileCommand},
      {L"wait-window", waitWindowCommand},
      {L"wait-rows", waitRowsCommand},
      {L"wait-text", waitTextCommand},
      {L"watch-rows", watchRowsCommand},
      {L"net", netCommand},
      {L"clipboard", clipboardCommand},
  };
  return table;
}

constexpr char USAGE[] =
    "usage: zorvi_probe <command> [arguments]\n"
    "  dump                       every control, the list (columns, rows, ticks), status panes,\n"
    "                             open boxes, pointer and left button\n"
    "  click <button text>        press an enabled button; returns at once\n"
    "  tick <row>|all             set check boxes (rows count from 0)\n"
    "  untick <row>|all           clear check boxes\n"
    "  settext <text>             replace the text of the edit box\n"
    "  dblclick-profile           double-click the profile line (STN_DBLCLK)\n"
    "  close                      ask the main window to close (WM_CLOSE)\n"
    "  move <x> <y>               move the main window on the screen\n"
    "  dismiss [seconds]          report and close a message box, waiting for one\n"
    "  savefile <path> [seconds]  type a path into the save dialog and save\n"
    "  wait-window <seconds>      wait for the main window\n"
    "  wait-rows <n> <seconds>    wait until the list has exactly n rows\n"
    "  wait-text <text> <seconds> wait until a control's text contains text\n"
    "  watch-rows <seconds> [button text]\n"
    "                             print every change of the list for that long (ms since start),\n"
    "                             pressing the button after the first sample\n"
    "  net                        host name and its IPv4 addresses as the program looks them up\n"
    "  clipboard                  the clipboard's text\n"
    "exit codes: 0 done, 1 timed out, 2 usage or error\n";

int runCommand(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs(USAGE, stderr);
    return zorvi::room::EXIT_USAGE;
  }
  const auto entry = commandTable().find(argv[1]);
  if (entry == commandTable().end()) {
    std::fputs(USAGE, stderr);
    return zorvi::room::EXIT_USAGE;
  }
  const Arguments args(argv + 2, argv + argc);
  try {
    const int code = entry->second(args);
    if (code == zorvi::room::EXIT_USAGE) {
      std::fputs(USAGE, stderr);
    }
    return code;
  } catch (const zorvi::room::ProbeError& error) {
    zorvi::room::JsonObject line;
    line.utf8("kind", "error").utf8("message", error.what());
    zorvi::room::printLine(line);
    return zorvi::room::EXIT_USAGE;
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Lines end in LF alone, whatever the C runtime would make of them.
  _setmode(_fileno(stdout), _O_BINARY);
  return runCommand(argc, argv);
}
