#pragma once
// The export's save dialog through GetSaveFileNameW. Texts are GBK at the interface and UTF-16
// (code page 936) towards the system.

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "console/SaveDialog.h"

namespace zorvi {

// An OPENFILENAMEW filled from the settings, with the buffers its pointers refer to. Neither
// copied nor moved, so those pointers stay valid.
class SaveDialogRequest {
 public:
  SaveDialogRequest(const SaveDialogSettings& settings, HWND owner);
  SaveDialogRequest(const SaveDialogRequest&) = delete;
  SaveDialogRequest& operator=(const SaveDialogRequest&) = delete;

  OPENFILENAMEW& dialog() { return dialog_; }
  // The name field: the settings' file name before the dialog, the chosen path after it.
  std::wstring fileName() const { return fileName_.data(); }

 private:
  std::wstring filter_;
  std::wstring defaultExtension_;
  std::wstring initialDirectory_;
  std::vector<wchar_t> fileName_;
  OPENFILENAMEW dialog_{};
};

class Win32SaveDialog final : public SaveDialog {
 public:
  // `owner` (may be null) is disabled while the dialog shows.
  explicit Win32SaveDialog(HWND owner) : owner_(owner) {}
  std::optional<std::string> choosePath(const SaveDialogSettings& settings) override;

 private:
  HWND owner_;
};

}  // namespace zorvi
