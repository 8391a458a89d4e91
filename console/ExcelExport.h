#pragma once
// The export of the client list to an Excel 97-2003 workbook the operator names in a save dialog:
// every row, ticked or not, in list order, under a heading row, every cell as text. Written by
// the built-in workbook writer; the steps and the message boxes are the operator's contract.
// Runs on the GUI thread from start to end.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "console/MessageBoxes.h"
#include "console/SaveDialog.h"

namespace zorvi {

// What the export reads of the client list (GBK texts). Read on the GUI thread that owns the list.
class ClientListReader {
 public:
  virtual ~ClientListReader() = default;
  virtual std::size_t rowCount() const = 0;
  virtual std::size_t columnCount() const = 0;
  virtual std::string columnHeading(std::size_t column) const = 0;
  virtual std::string cellText(std::size_t row, std::size_t column) const = 0;
};

// The file operations the export needs, on GBK paths.
class ExportFiles {
 public:
  virtual ~ExportFiles() = default;
  virtual bool exists(const std::string& path) const = 0;
  // Deletes the file; false when it could not.
  virtual bool remove(const std::string& path) = 0;
  // Creates a new file holding exactly `bytes`. False when the file exists already or cannot be
  // created or written whole; a partly written file is removed again.
  virtual bool writeNew(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
};

// GBK text to UTF-16, as code page 936 converts it.
using GbkDecoder = std::function<std::u16string(std::string_view)>;

// The dialog's settings for an export; `previousPath` is what the name field shows.
SaveDialogSettings exportDialogSettings(std::string previousPath);

class ExcelExport {
 public:
  // Keeps references to the ports; they must outlive this object.
  ExcelExport(const ClientListReader& list, SaveDialog& dialog, ExportFiles& files, MessageBoxes& boxes,
              GbkDecoder decodeGbk);

  // The "导出列表到Excel" button, with the sheet name "123". In order: an empty list is reported
  // and nothing else happens; the dialog opens (a cancel ends quietly); whatever exists at the
  // chosen path is deleted; the headings and then the rows are read into the sheet; the workbook
  // is written. Each failure shows its message box and ends the export.
  void exportList(std::string_view sheetName);

 private:
  const ClientListReader& list_;
  SaveDialog& dialog_;
  ExportFiles& files_;
  MessageBoxes& boxes_;
  GbkDecoder decodeGbk_;
  std::string previousPath_;  // the dialog shows the last chosen path while the program runs
};

}  // namespace zorvi
