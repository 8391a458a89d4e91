#include "console/ExcelExport.h"

#include <optional>
#include <utility>
#include <vector>

#include "console/workbook/TextTable.h"
#include "console/workbook/Workbook.h"

namespace zorvi {
namespace {

constexpr std::string_view TEXT_NOTHING_TO_EXPORT = "当前列表没有可导出的数据。";
constexpr std::string_view TITLE_NOTHING_TO_EXPORT = "温馨提示";
constexpr std::string_view TEXT_TABLE_NOT_CREATED = "创建数据库表失败！";
constexpr std::string_view TEXT_ROW_NOT_IMPORTED = "导入到临时数据表数据失败！";
constexpr std::string_view TEXT_WORKBOOK_NOT_WRITTEN = "导出Excel文件失败！";
constexpr std::string_view TITLE_FAILED = "失败";
constexpr std::string_view TEXT_EXPORT_DONE = "导出完成！";

constexpr std::string_view DIALOG_FILTER = "Excel文件(*.xls)|*.xls";
constexpr std::string_view DIALOG_DEFAULT_EXTENSION = ".xls";
constexpr std::string_view DIALOG_INITIAL_DIRECTORY = "%userprofile%\\Desktop";

}  // namespace

SaveDialogSettings exportDialogSettings(std::string previousPath) {
  return SaveDialogSettings{std::string(DIALOG_FILTER), std::string(DIALOG_DEFAULT_EXTENSION),
                            std::string(DIALOG_INITIAL_DIRECTORY), std::move(previousPath)};
}

ExcelExport::ExcelExport(const ClientListReader& list, SaveDialog& dialog, ExportFiles& files, MessageBoxes& boxes,
                         GbkDecoder decodeGbk)
    : list_(list), dialog_(dialog), files_(files), boxes_(boxes), decodeGbk_(std::move(decodeGbk)) {}

void ExcelExport::exportList(std::string_view sheetName) {
  if (list_.rowCount() == 0) {
    boxes_.showMessage(TEXT_NOTHING_TO_EXPORT, TITLE_NOTHING_TO_EXPORT, MessageIcon::Information);
    return;
  }
  const std::optional<std::string> path = dialog_.choosePath(exportDialogSettings(previousPath_));
  if (!path) {
    return;
  }
  previousPath_ = *path;
  if (files_.exists(*path)) {
    files_.remove(*path);  // a file that stays shows up when the new one cannot be created
  }

  // The list may have changed while the dialog was open: headings and rows are read only now.
  std::vector<std::u16string> headings;
  for (std::size_t column = 0; column < list_.columnCount(); ++column) {
    headings.push_back(decodeGbk_(list_.columnHeading(column)));
  }
  std::optional<workbook::TextTable> table = workbook::TextTable::withHeadings(std::move(headings));
  if (!table) {
    boxes_.showMessage(TEXT_TABLE_NOT_CREATED, TITLE_FAILED, MessageIcon::Error);
    return;
  }

  const std::size_t rowCount = list_.rowCount();
  for (std::size_t row = 0; row < rowCount; ++row) {
    std::vector<std::u16string> cells;
    const std::size_t columnCount = list_.columnCount();
    for (std::size_t column = 0; column < columnCount; ++column) {
      cells.push_back(decodeGbk_(list_.cellText(row, column)));
    }
    if (!table->appendRow(std::move(cells))) {
      boxes_.showMessage(TEXT_ROW_NOT_IMPORTED, TITLE_FAILED, MessageIcon::Warning);
      return;
    }
  }

  const auto bytes = workbook::workbookFile(decodeGbk_(sheetName), *table);
  if (!bytes || !files_.writeNew(*path, *bytes)) {
    boxes_.showMessage(TEXT_WORKBOOK_NOT_WRITTEN, TITLE_FAILED, MessageIcon::Error);
    return;
  }
  boxes_.showMessage(TEXT_EXPORT_DONE, {}, MessageIcon::None);
}

}  // namespace zorvi
