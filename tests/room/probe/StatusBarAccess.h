// The panes of a status bar in another process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zorvi::room {

// The text of every pane, in order. Throws ProbeError.
std::vector<std::wstring> readStatusPanes(HWND statusBar);

}  // namespace zorvi::room
