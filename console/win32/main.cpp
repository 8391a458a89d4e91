// Process entry: COM for the script control, the common controls, the main window, then the message
// loop until the window is gone. Exit code 0.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "console/win32/MainWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  int exitCode = 0;
  {
    zorvi::MainWindow window;
    if (window.create(instance, showCommand)) {
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    } else {
      exitCode = 1;
    }
  }
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return exitCode;
}
