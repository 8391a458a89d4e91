// Commands that drive the main window the way an operator's mouse would, without blocking the
// probe when the program answers with a modal box.
#include <cwchar>

#include "Commands.h"
#include "Describe.h"
#include "ProbeError.h"

namespace zorvi::room {
namespace {

// The profile line starts with this label once written; before that it is found by its place.
constexpr std::wstring_view PROFILE_LINE_START = L"用户名：";
constexpr POINT PROFILE_LINE_PLACE{8, 473};

const ControlInfo& requireControl(const std::vector<ControlInfo>& controls, std::wstring_view className,
                                  std::wstring_view text) {
  const ControlInfo* control = findControl(controls, className, text);
  if (control == nullptr) {
    throw ProbeError("no " + utf8FromWide(className) + " with the text \"" + utf8FromWide(text) + "\"");
  }
  return *control;
}

HWND requireListView(const std::vector<ControlInfo>& controls) {
  for (const ControlInfo& control : controls) {
    if (isClass(control.className, L"SysListView32")) {
      return control.handle;
    }
  }
  throw ProbeError("the main window has no list view");
}

int setTicks(const Arguments& args, bool checked) {
  if (args.size() != 1) {
    return EXIT_USAGE;
  }
  const int row = args[0] == L"all" ? -1 : parseRow(args[0]);
  HWND list = requireListView(listControls(requireMainWindow()));
  if (row >= rowCount(list)) {
    throw ProbeError("no row " + std::to_string(row));
  }
  setChecked(list, row, checked);
  printLine(describeList(readList(list)));
  return EXIT_DONE;
}

int parseCoordinate(const std::wstring& text) {
  wchar_t* end = nullptr;
  const long value = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || *end != L'\0' || value < -30000 || value > 30000) {
    throw ProbeError("not a screen coordinate: " + utf8FromWide(text));
  }
  return static_cast<int>(value);
}

}  // namespace

int clickCommand(const Arguments& args) {
  if (args.size() != 1) {
    return EXIT_USAGE;
  }
  const std::vector<ControlInfo> controls = listControls(requireMainWindow());
  const ControlInfo& button = requireControl(controls, L"Button", args[0]);
  if (!button.enabled) {
    // A disabled button ignores the mouse; BM_CLICK would still fire it, so refuse instead.
    throw ProbeError("the button \"" + utf8FromWide(args[0]) + "\" is disabled");
  }
  // Posted, not sent: the handler may open a modal box and the probe must return at once.
  if (!PostMessageW(button.handle, BM_CLICK, 0, 0)) {
    throw ProbeError("cannot post BM_CLICK");
  }
  JsonObject line;
  line.utf8("kind", "clicked").text("text", button.text);
  printLine(line);
  return EXIT_DONE;
}

int tickCommand(const Arguments& args) { return setTicks(args, true); }

int untickCommand(const Arguments& args) { return setTicks(args, false); }

int setTextCommand(const Arguments& args) {
  if (args.size() != 1) {
    return EXIT_USAGE;
  }
  const std::vector<ControlInfo> controls = listControls(requireMainWindow());
  // The multi-line edit box is the operator's; a single-line one only if there is no other.
  const ControlInfo* edit = nullptr;
  for (const ControlInfo& control : controls) {
    const bool multiLine = (control.style & ES_MULTILINE) != 0;
    if (isClass(control.className, L"Edit") && (edit == nullptr || (multiLine && (edit->style & ES_MULTILINE) == 0))) {
      edit = &control;
    }
  }
  if (edit == nullptr) {
    throw ProbeError("the main window has no edit box");
  }
  sendBounded(edit->handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[0].c_str()), "WM_SETTEXT");
  JsonObject line;
  line.utf8("kind", "edit").text("text", textOf(edit->handle));
  printLine(line);
  return EXIT_DONE;
}

int doubleClickProfileCommand(const Arguments& args) {
  if (!args.empty()) {
    return EXIT_USAGE;
  }
  const std::vector<ControlInfo> controls = listControls(requireMainWindow());
  const ControlInfo* label = nullptr;
  for (const ControlInfo& control : controls) {
    if (!isClass(control.className, L"Static")) {
      continue;
    }
    if (control.text.starts_with(PROFILE_LINE_START)) {
      label = &control;
      break;
    }
    if (control.inClient.left == PROFILE_LINE_PLACE.x && control.inClient.top == PROFILE_LINE_PLACE.y) {
      label = &control;
    }
  }
  if (label == nullptr) {
    throw ProbeError("no profile line label");
  }
  // What a static control with SS_NOTIFY sends its parent on a double-click; posted so that the
  // probe does not wait for the box the program shows.
  const int id = GetDlgCtrlID(label->handle);
  if (!PostMessageW(label->parent, WM_COMMAND, MAKEWPARAM(id, STN_DBLCLK), reinterpret_cast<LPARAM>(label->handle))) {
    throw ProbeError("cannot post STN_DBLCLK");
  }
  JsonObject line;
  line.utf8("kind", "double_clicked").text("text", label->text).flag("notify_style", (label->style & SS_NOTIFY) != 0);
  printLine(line);
  return EXIT_DONE;
}

int closeCommand(const Arguments& args) {
  if (!args.empty()) {
    return EXIT_USAGE;
  }
  HWND main = requireMainWindow();
  if (!PostMessageW(main, WM_CLOSE, 0, 0)) {
    throw ProbeError("cannot post WM_CLOSE");
  }
  JsonObject line;
  line.utf8("kind", "close_requested");
  printLine(line);
  return EXIT_DONE;
}

int moveCommand(const Arguments& args) {
  if (args.size() != 2) {
    return EXIT_USAGE;
  }
  HWND main = requireMainWindow();
  // Asynchronous: the owner thread applies it, the probe does not wait on that thread.
  if (!SetWindowPos(main, nullptr, parseCoordinate(args[0]), parseCoordinate(args[1]), 0, 0,
                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS)) {
    throw ProbeError("cannot move the main window");
  }
  JsonObject line;
  line.utf8("kind", "move_requested").numbers("to", {parseCoordinate(args[0]), parseCoordinate(args[1])});
  printLine(line);
  return EXIT_DONE;
}

}  // namespace zorvi::room
