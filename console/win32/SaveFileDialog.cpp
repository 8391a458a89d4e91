#include "console/win32/SaveFileDialog.h"

#include <algorithm>

#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

// Room for any path the system can give back, long paths included.
constexpr std::size_t FILE_NAME_CAPACITY = 32768;

}  // namespace

SaveDialogRequest::SaveDialogRequest(const SaveDialogSettings& settings, HWND owner)
    : filter_(wideFromGbk(zeroSeparatedFilter(settings.filter))),
      // The dialog wants the extension without its dot.
      defaultExtension_(wideFromGbk(std::string_view(settings.defaultExtension).substr(
          settings.defaultExtension.starts_with('.') ? 1 : 0))),
      initialDirectory_(wideFromGbk(settings.initialDirectory)),
      fileName_(FILE_NAME_CAPACITY, L'\0') {
  const std::wstring name = wideFromGbk(settings.fileName);
  std::copy_n(name.begin(), std::min(name.size(), FILE_NAME_CAPACITY - 1), fileName_.begin());

  dialog_.lStructSize = sizeof dialog_;
  dialog_.hwndOwner = owner;
  dialog_.lpstrFilter = filter_.c_str();
  dialog_.nFilterIndex = 1;
  dialog_.lpstrFile = fileName_.data();
  dialog_.nMaxFile = static_cast<DWORD>(fileName_.size());
  dialog_.lpstrInitialDir = initialDirectory_.c_str();
  dialog_.lpstrDefExt = defaultExtension_.c_str();
  // OFN_NOCHANGEDIR: the dialog must not move the process's current directory.
  dialog_.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
}

std::optional<std::string> Win32SaveDialog::choosePath(const SaveDialogSettings& settings) {
  SaveDialogRequest request(settings, owner_);
  if (!GetSaveFileNameW(&request.dialog())) {
    return std::nullopt;  // cancelled, or the dialog failed: both end the export quietly
  }
  return gbkFromWide(request.fileName());
}

}  // namespace zorvi
