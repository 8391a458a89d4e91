// Reading windows of another process: finding the main window by its title, listing its
// controls and asking for their texts. Every message to the other process has a time bound, so
// a hung window gives a ProbeError instead of a hung probe.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace zorvi::room {

// The title the program gives its main window.
inline constexpr std::wstring_view MAIN_WINDOW_TITLE = L"Zorvi 局域网键鼠同步器";

// Bound on one message sent to the other process.
inline constexpr UINT SEND_TIMEOUT_MS = 5000;

// SendMessageTimeoutW with the bound above; throws ProbeError naming `what` when the window does
// not answer in time.
LRESULT sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what);

// The window's class without any version prefix; compare with isClass (class names ignore case).
std::wstring classOf(HWND window);
bool isClass(const std::wstring& className, std::wstring_view expected);
// A top-level window's title as the system keeps it: no message is sent, so a hung window
// cannot stop the probe.
std::wstring titleOf(HWND window);
// The control's text through WM_GETTEXT (which the system copies between processes).
std::wstring textOf(HWND window);

// Top-level windows titled `title` that are not dialogs; empty when there are none.
std::vector<HWND> findTopWindows(std::wstring_view title);

// One control as the tests see it: class, text, state and place.
struct ControlInfo {
  HWND handle = nullptr;
  HWND parent = nullptr;
  std::wstring className;
  std::wstring text;
  bool enabled = false;
  bool visible = false;
  LONG style = 0;
  RECT inClient{};   // relative to the client area of the window that was listed
  POINT onScreen{};  // top-left corner in screen coordinates
};

// Every descendant of `top`, in the system's enumeration order (children before grandchildren of
// later children, as EnumChildWindows gives them).
std::vector<ControlInfo> listControls(HWND top);

// The first control of `className` whose text is exactly `text`; nullptr when none.
const ControlInfo* findControl(const std::vector<ControlInfo>& controls, std::wstring_view className,
                               std::wstring_view text);

// Visible dialogs (class #32770) owned by the process of `window`: message boxes and file dialogs.
std::vector<HWND> dialogsOfProcess(HWND window);

}  // namespace zorvi::room
