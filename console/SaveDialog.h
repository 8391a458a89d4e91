#pragma once
// The save-file dialog the export asks for its workbook path. GBK texts.

#include <optional>
#include <string>
#include <string_view>

namespace zorvi {

struct SaveDialogSettings {
  // Entries as "shown text|pattern", several joined by further "|".
  std::string filter;
  std::string defaultExtension;  // with its dot, e.g. ".xls"
  std::string initialDirectory;  // passed to the system as written
  std::string fileName;          // what the name field shows when the dialog opens
};

class SaveDialog {
 public:
  virtual ~SaveDialog() = default;
  // Shows a modal save dialog (the system's default title; the GUI thread keeps dispatching
  // messages) and returns the chosen path, or nothing when the operator cancels.
  virtual std::optional<std::string> choosePath(const SaveDialogSettings& settings) = 0;
};

// The filter as the Windows dialog takes it: each "|" becomes a zero byte and the list ends with
// two zero bytes.
std::string zeroSeparatedFilter(std::string_view filter);

}  // namespace zorvi
