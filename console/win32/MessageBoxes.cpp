#include "console/win32/MessageBoxes.h"

#include <windows.h>

#include "protocol/win32/WideText.h"

namespace zorvi {

unsigned messageBoxStyle(MessageIcon icon) {
  unsigned style = MB_OK | MB_TASKMODAL;
  switch (icon) {
    case MessageIcon::None:
      break;
    case MessageIcon::Information:
      style |= MB_ICONINFORMATION;
      break;
    case MessageIcon::Warning:
      style |= MB_ICONWARNING;
      break;
    case MessageIcon::Error:
      style |= MB_ICONERROR;
      break;
  }
  return style;
}

void showMessageBox(std::string_view text, std::string_view title, MessageIcon icon) {
  const std::wstring wideText = wideFromGbk(text);
  const std::wstring wideTitle = wideFromGbk(messageTitle(title));
  MessageBoxW(nullptr, wideText.c_str(), wideTitle.c_str(), messageBoxStyle(icon));
}

}  // namespace zorvi
