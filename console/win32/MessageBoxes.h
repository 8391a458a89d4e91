#pragma once
// Message boxes through MessageBoxW: GBK texts converted with code page 936, no owner window,
// task-modal (every top-level window of the thread is disabled while it shows), OK button only.

#include <string_view>

#include "console/MessageBoxes.h"

namespace zorvi {

// The MessageBoxW style for a box with that icon.
unsigned messageBoxStyle(MessageIcon icon);

// Shows the box and returns when it is dismissed; an empty title shows DEFAULT_MESSAGE_TITLE.
void showMessageBox(std::string_view text, std::string_view title, MessageIcon icon);

class Win32MessageBoxes final : public MessageBoxes {
 public:
  void showMessage(std::string_view text, std::string_view title, MessageIcon icon) override {
    showMessageBox(text, title, icon);
  }
};

}  // namespace zorvi
