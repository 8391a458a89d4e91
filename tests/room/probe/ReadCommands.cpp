// Commands that only read: dump and the bounded waits.
#include <cwchar>

#include "Commands.h"
#include "Describe.h"
#include "Polling.h"
#include "ProbeError.h"
#include "StatusBarAccess.h"

namespace zorvi::room {
namespace {

HWND firstListView(const std::vector<ControlInfo>& controls) {
  for (const ControlInfo& control : controls) {
    if (isClass(control.className, L"SysListView32")) {
      return control.handle;
    }
  }
  throw ProbeError("the main window has no list view");
}

// The pointer and left button as the machine's input state has them, and where the keyboard
// goes inside the program: replayed keys reach the focused control of the foreground window.
JsonObject describeInput(HWND main) {
  POINT cursor{};
  GetCursorPos(&cursor);
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  const bool known = GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread) != FALSE;
  JsonObject line;
  line.utf8("kind", "input")
      .numbers("cursor", {cursor.x, cursor.y})
      .flag("left_button_down", (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0)
      .flag("foreground", GetForegroundWindow() == main)
      .text("focus_class", known && thread.hwndFocus != nullptr ? classOf(thread.hwndFocus) : L"");
  return line;
}

}  // namespace

HWND requireMainWindow() {
  const std::vector<HWND> windows = findTopWindows(MAIN_WINDOW_TITLE);
  if (windows.empty()) {
    throw ProbeError("no main window titled as the program's");
  }
  return windows.front();
}

double parseSeconds(const std::wstring& text) {
  wchar_t* end = nullptr;
  const double seconds = std::wcstod(text.c_str(), &end);
  if (text.empty() || *end != L'\0' || !(seconds >= 0.0) || seconds > 3600.0) {
    throw ProbeError("not a number of seconds (0 to 3600): " + utf8FromWide(text));
  }
  return seconds;
}

int parseRow(const std::wstring& text) {
  wchar_t* end = nullptr;
  const long row = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || *end != L'\0' || row < 0 || row > 100000) {
    throw ProbeError("not a row number: " + utf8FromWide(text));
  }
  return static_cast<int>(row);
}

int dumpCommand(const Arguments&) {
  const std::vector<HWND> windows = findTopWindows(MAIN_WINDOW_TITLE);
  if (windows.empty()) {
    throw ProbeError("no main window titled as the program's");
  }
  HWND main = windows.front();
  printLine(describeWindow(main, windows.size()));
  const std::vector<ControlInfo> controls = listControls(main);
  for (const ControlInfo& control : controls) {
    printLine(describeControl(control));
  }
  for (const ControlInfo& control : controls) {
    if (isClass(control.className, L"SysListView32")) {
      printLine(describeList(readList(control.handle)));
    } else if (isClass(control.className, L"msctls_statusbar32")) {
      JsonObject line;
      line.utf8("kind", "status").texts("panes", readStatusPanes(control.handle));
      printLine(line);
    }
  }
  for (HWND dialog : dialogsOfProcess(main)) {
    printLine(describeDialog(dialog));
  }
  printLine(describeInput(main));
  return EXIT_DONE;
}

int waitWindowCommand(const Arguments& args) {
  if (args.size() != 1) {
    return EXIT_USAGE;
  }
  std::vector<HWND> windows;
  const bool found = pollFor(parseSeconds(args[0]), [&] {
    windows = findTopWindows(MAIN_WINDOW_TITLE);
    return !windows.empty();
  });
  if (!found) {
    JsonObject line;
    line.utf8("kind", "timeout").utf8("waited_for", "window");
    printLine(line);
    return EXIT_TIMED_OUT;
  }
  printLine(describeWindow(windows.front(), windows.size()));
  return EXIT_DONE;
}

int waitRowsCommand(const Arguments& args) {
  if (args.size() != 2) {
    return EXIT_USAGE;
  }
  const int wanted = parseRow(args[0]);
  HWND list = firstListView(listControls(requireMainWindow()));
  int rows = 0;
  const bool reached = pollFor(parseSeconds(args[1]), [&] {
    rows = rowCount(list);
    return rows == wanted;
  });
  if (!reached) {
    JsonObject line;
    line.utf8("kind", "timeout").utf8("waited_for", "rows").number("wanted", wanted).number("rows", rows);
    printLine(line);
    return EXIT_TIMED_OUT;
  }
  printLine(describeList(readList(list)));
  return EXIT_DONE;
}

int waitTextCommand(const Arguments& args) {
  if (args.size() != 2) {
    return EXIT_USAGE;
  }
  const std::wstring& wanted = args[0];
  HWND main = requireMainWindow();
  ControlInfo match;
  const bool seen = pollFor(parseSeconds(args[1]), [&] {
    for (const ControlInfo& control : listControls(main)) {
      if (control.text.find(wanted) != std::wstring::npos) {
        match = control;
        return true;
      }
    }
    return false;
  });
  if (!seen) {
    JsonObject line;
    line.utf8("kind", "timeout").utf8("waited_for", "text").text("text", wanted);
    printLine(line);
    return EXIT_TIMED_OUT;
  }
  printLine(describeControl(match));
  return EXIT_DONE;
}

}  // namespace zorvi::room
