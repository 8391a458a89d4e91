// The probe's commands. Each reads or drives the main window of the program running in the same
// Wine prefix and prints JSON lines; each returns the process exit code:
//   0 done, 1 the awaited condition did not come in time, 2 bad usage (ProbeError covers the rest:
//   no window, no such control, a window that does not answer).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zorvi::room {

using Arguments = std::vector<std::wstring>;

inline constexpr int EXIT_DONE = 0;
inline constexpr int EXIT_TIMED_OUT = 1;
inline constexpr int EXIT_USAGE = 2;

// The main window, or ProbeError when there is none.
HWND requireMainWindow();

// Parses a count of seconds or a row number; ProbeError when it is not one.
double parseSeconds(const std::wstring& text);
int parseRow(const std::wstring& text);

int dumpCommand(const Arguments& args);
int clickCommand(const Arguments& args);
int tickCommand(const Arguments& args);
int untickCommand(const Arguments& args);
int setTextCommand(const Arguments& args);
int doubleClickProfileCommand(const Arguments& args);
int closeCommand(const Arguments& args);
int moveCommand(const Arguments& args);
int dismissCommand(const Arguments& args);
int saveFileCommand(const Arguments& args);
int waitWindowCommand(const Arguments& args);
int waitRowsCommand(const Arguments& args);
int waitTextCommand(const Arguments& args);
int watchRowsCommand(const Arguments& args);
int netCommand(const Arguments& args);
int clipboardCommand(const Arguments& args);

}  // namespace zorvi::room
