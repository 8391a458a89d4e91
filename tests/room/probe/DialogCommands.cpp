// Commands for the dialogs the program opens: message boxes and the save dialog.
#include "Commands.h"
#include "Describe.h"
#include "Polling.h"
#include "ProbeError.h"

namespace zorvi::room {
namespace {

constexpr double CLOSE_WAIT_SECONDS = 5.0;

bool hasEdit(HWND dialog) {
  for (const ControlInfo& control : listControls(dialog)) {
    if (isClass(control.className, L"Edit")) {
      return true;
    }
  }
  return false;
}

// The first visible dialog of the program's process that is (or is not) a file dialog, waiting
// up to `seconds` for one to appear; nullptr when none came.
HWND awaitDialog(double seconds, bool fileDialog) {
  HWND main = requireMainWindow();
  HWND found = nullptr;
  pollFor(seconds, [&] {
    for (HWND dialog : dialogsOfProcess(main)) {
      if (hasEdit(dialog) == fileDialog) {
        found = dialog;
        return true;
      }
    }
    return false;
  });
  return found;
}

// The dialog's default push button, which Enter would press; a dialog without one but with a
// single button gets that button.
HWND defaultButton(HWND dialog) {
  const auto answer = static_cast<DWORD>(sendBounded(dialog, DM_GETDEFID, 0, 0, "DM_GETDEFID"));
  if (HIWORD(answer) == DC_HASDEFID) {
    if (HWND button = GetDlgItem(dialog, LOWORD(answer)); button != nullptr) {
      return button;
    }
  }
  HWND only = nullptr;
  for (const ControlInfo& control : listControls(dialog)) {
    if (isClass(control.className, L"Button") && control.visible) {
      if (only != nullptr) {
        throw ProbeError("the dialog has several buttons and no default one");
      }
      only = control.handle;
    }
  }
  if (only == nullptr) {
    throw ProbeError("the dialog has no button");
  }
  return only;
}

int reportTimeout(const char* waitedFor) {
  JsonObject line;
  line.utf8("kind", "timeout").utf8("waited_for", waitedFor);
  printLine(line);
  return EXIT_TIMED_OUT;
}

// Presses `button` without waiting for its handler, then waits a bounded time for the dialog to go.
void pressAndAwaitClose(HWND dialog, HWND button, JsonObject& report) {
  report.text("pressed", textOf(button));
  if (!PostMessageW(button, BM_CLICK, 0, 0)) {
    throw ProbeError("cannot post BM_CLICK");
  }
  const bool closed = pollFor(CLOSE_WAIT_SECONDS, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
  report.flag("closed", closed);
}

}  // namespace

int dismissCommand(const Arguments& args) {
  if (args.size() > 1) {
    return EXIT_USAGE;
  }
  HWND box = awaitDialog(args.empty() ? 0.0 : parseSeconds(args[0]), false);
  if (box == nullptr) {
    return reportTimeout("box");
  }
  JsonObject report = describeDialog(box);
  pressAndAwaitClose(box, defaultButton(box), report);
  printLine(report);
  return EXIT_DONE;
}

int saveFileCommand(const Arguments& args) {
  if (args.empty() || args.size() > 2) {
    return EXIT_USAGE;
  }
  HWND dialog = awaitDialog(args.size() == 2 ? parseSeconds(args[1]) : 0.0, true);
  if (dialog == nullptr) {
    return reportTimeout("file dialog");
  }
  const ControlInfo* nameField = nullptr;
  const std::vector<ControlInfo> controls = listControls(dialog);
  for (const ControlInfo& control : controls) {
    if (isClass(control.className, L"Edit") && control.visible && control.enabled) {
      nameField = &control;
      break;
    }
  }
  if (nameField == nullptr) {
    throw ProbeError("the file dialog has no usable name field");
  }
  JsonObject report = describeDialog(dialog);
  sendBounded(nameField->handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[0].c_str()), "WM_SETTEXT");
  pressAndAwaitClose(dialog, defaultButton(dialog), report);
  printLine(report);
  return EXIT_DONE;
}

}  // namespace zorvi::room
