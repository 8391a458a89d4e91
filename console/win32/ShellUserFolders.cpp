#include "console/win32/ShellUserFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "protocol/win32/WideText.h"

namespace zorvi {

std::string shellDesktopDirectory() {
  // The wide call converted with code page 936 gives the same GBK bytes as the ANSI call on a
  // Chinese Windows, and the right ones on a Windows of any other language too.
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) {
    return {};
  }
  return gbkFromWide(path);
}

}  // namespace zorvi
