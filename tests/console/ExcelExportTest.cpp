#include "console/ExcelExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "tests/console/ClientColumns.h"
#include "tests/console/ConsoleFakes.h"
#include "tests/console/TestGbk.h"

namespace zorvi {
namespace {

using test::Journal;
using test::ShownBox;

constexpr char PATH[] = "D:\\a.xls";
const ShownBox DONE{"导出完成！", "", MessageIcon::None};

std::vector<std::string> machineRow(const std::string& address, const std::string& user) {
  return {address, "50123", user, "SN0001", "Intel(R) Core(TM) i7", "8G + 8G", "NVIDIA GeForce RTX 3060",
          "Default System BIOS", "31.0.15.3623", "94.06.2F.00.9A", "Windows 10 专业版 19045"};
}

class ExcelExportTest : public testing::Test {
 protected:
  ExcelExportTest() {
    disk.addFolder("D:");
    list.headings = test::clientColumnsGbk();
    list.rows = {machineRow("192.168.1.20", "张三"), machineRow("192.168.1.21", "李四")};
  }

  // The journal from the first entry with that prefix on.
  std::vector<std::string> journalFrom(const std::string& prefix) const {
    for (auto entry = journal.begin(); entry != journal.end(); ++entry) {
      if (entry->starts_with(prefix)) {
        return {entry, journal.end()};
      }
    }
    return {};
  }

  Journal journal;
  test::FakeClientList list{journal};
  test::ScriptedSaveDialog dialog{journal};
  test::FakeDisk disk{journal};
  test::RecordingMessageBoxes boxes{journal};
  ExcelExport excelExport{list, dialog, disk, boxes, test::decodeGbk};
};

TEST_F(ExcelExportTest, EmptyListIsReportedAndNoDialogOpens) {
  list.rows.clear();
  excelExport.exportList("123");
  EXPECT_EQ(journal, (Journal{"rows", "box 当前列表没有可导出的数据。"}));
  EXPECT_EQ(boxes.shown, (std::vector<ShownBox>{{"当前列表没有可导出的数据。", "温馨提示", MessageIcon::Information}}));
}

TEST_F(ExcelExportTest, CancelledDialogEndsQuietly) {
  dialog.answers = {std::nullopt};
  excelExport.exportList("123");
  EXPECT_EQ(journal, (Journal{"rows", "dialog"}));
  EXPECT_TRUE(disk.files.empty());
}

TEST_F(ExcelExportTest, StepsRunInOrderAndEndWithDone) {
  dialog.answers = {PATH};
  excelExport.exportList("123");
  Journal expected = {"rows", "dialog", "exists D:\\a.xls"};
  for (int column = 0; column < 11; ++column) {
    expected.push_back("heading " + std::to_string(column));
  }
  expected.insert(expected.end(), {"rows", "write D:\\a.xls", "box 导出完成！"});
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(boxes.shown, std::vector<ShownBox>{DONE});
  ASSERT_TRUE(disk.files.contains(PATH));
  const std::vector<std::uint8_t> compoundSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  EXPECT_TRUE(std::equal(compoundSignature.begin(), compoundSignature.end(), disk.files[PATH].begin()));
}

TEST_F(ExcelExportTest, DialogShowsTheFixedSettingsAndThenThePreviousPath) {
  dialog.answers = {PATH, std::nullopt, "D:\\b.xls"};
  excelExport.exportList("123");
  excelExport.exportList("123");
  excelExport.exportList("123");
  ASSERT_EQ(dialog.shownWith.size(), 3u);
  const SaveDialogSettings& first = dialog.shownWith[0];
  EXPECT_EQ(first.filter, "Excel文件(*.xls)|*.xls");
  EXPECT_EQ(first.defaultExtension, ".xls");
  EXPECT_EQ(first.initialDirectory, "%userprofile%\\Desktop");
  EXPECT_EQ(first.fileName, "");
  EXPECT_EQ(dialog.shownWith[1].fileName, PATH);
  EXPECT_EQ(dialog.shownWith[2].fileName, PATH);  // a cancel keeps the last chosen path
  EXPECT_EQ(dialog.shownWith[2].filter, first.filter);
}

TEST_F(ExcelExportTest, TwoExportsToOnePathBothSucceed) {
  dialog.answers = {PATH, PATH};
  excelExport.exportList("123");
  const std::vector<std::uint8_t> firstWorkbook = disk.files[PATH];
  list.rows.push_back(machineRow("192.168.1.22", "王五"));
  excelExport.exportList("123");
  EXPECT_EQ(boxes.shown, (std::vector<ShownBox>{DONE, DONE}));
  EXPECT_NE(disk.files[PATH], firstWorkbook);
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "remove D:\\a.xls"), 1);
}

TEST_F(ExcelExportTest, CellHoldingAQuoteExportsLikeAnyOtherText) {
  list.rows[1][2] = "O'Brien";
  list.rows[0][3] = "'; drop table Temp --";
  dialog.answers = {PATH};
  excelExport.exportList("123");
  EXPECT_EQ(boxes.shown, std::vector<ShownBox>{DONE});
}

TEST_F(ExcelExportTest, ListChangesWhileTheDialogIsOpenAreExported) {
  dialog.answers = {PATH};
  dialog.whileOpen = [this] { list.rows.push_back(machineRow("192.168.1.23", "赵六")); };
  excelExport.exportList("123");
  EXPECT_EQ(list.rowsRead, (std::set<std::size_t>{0, 1, 2}));
  EXPECT_EQ(boxes.shown, std::vector<ShownBox>{DONE});
}

// One way for an export to fail after the dialog, and what the operator sees.
struct FailureCase {
  const char* name;
  std::function<void(test::FakeClientList&, test::FakeDisk&, std::string&)> arrange;
  ShownBox box;
};

class ExportFailureTest : public ExcelExportTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(ExportFailureTest, ShowsItsMessageDeletesTheOldWorkbookAndWritesNone) {
  disk.files[PATH] = {'o', 'l', 'd'};
  std::string sheetName = "123";
  GetParam().arrange(list, disk, sheetName);
  dialog.answers = {PATH};
  excelExport.exportList(sheetName);
  EXPECT_EQ(boxes.shown, std::vector<ShownBox>{GetParam().box});
  EXPECT_EQ(journalFrom("exists").at(1), "remove D:\\a.xls");
  EXPECT_FALSE(disk.files.contains(PATH));
}

const ShownBox TABLE_FAILED{"创建数据库表失败！", "失败", MessageIcon::Error};
const ShownBox ROW_FAILED{"导入到临时数据表数据失败！", "失败", MessageIcon::Warning};
const ShownBox WRITE_FAILED{"导出Excel文件失败！", "失败", MessageIcon::Error};

INSTANTIATE_TEST_SUITE_P(
    Failures, ExportFailureTest,
    testing::Values(
        FailureCase{"NoColumns", [](auto& list, auto&, auto&) { list.headings.clear(); }, TABLE_FAILED},
        FailureCase{"HeadingLongerThanACell",
                    [](auto& list, auto&, auto&) { list.headings[0] = std::string(32768, 'x'); }, TABLE_FAILED},
        FailureCase{"CellLongerThanACell",
                    [](auto& list, auto&, auto&) { list.rows[1][4] = std::string(32768, 'x'); }, ROW_FAILED},
        FailureCase{"DiskFull", [](auto&, auto& disk, auto&) { disk.full = true; }, WRITE_FAILED},
        FailureCase{"SheetNameExcelRefuses", [](auto&, auto&, auto& sheet) { sheet = "a/b"; }, WRITE_FAILED}),
    [](const testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

TEST_F(ExcelExportTest, OldWorkbookThatCannotBeDeletedIsLeftAloneAndTheExportFails) {
  disk.files[PATH] = {'o', 'l', 'd'};
  disk.locked.insert(PATH);
  dialog.answers = {PATH};
  excelExport.exportList("123");
  EXPECT_EQ(boxes.shown, std::vector<ShownBox>{WRITE_FAILED});
  EXPECT_EQ(disk.files[PATH], (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

TEST_F(ExcelExportTest, MissingFolderFailsTheWrite) {
  dialog.answers = {"E:\\gone\\a.xls"};
  excelExport.exportList("123");
  EXPECT_EQ(boxes.shown, std::vector<ShownBox>{WRITE_FAILED});
}

}  // namespace
}  // namespace zorvi
