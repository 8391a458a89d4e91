#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "console/ShotNames.h"
#include "console/win32/ExportFiles.h"
#include "console/win32/GbkDecoder.h"
#include "console/win32/ShellUserFolders.h"
#include "protocol/win32/WideText.h"
#include "tests/console/ClientColumns.h"
#include "tests/console/ConsoleFakes.h"

namespace zorvi {
namespace {

namespace fs = std::filesystem;

class ExportFilesTest : public testing::Test {
 protected:
  ExportFilesTest() {
    folder = fs::temp_directory_path() / wideFromGbk("导出测试" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
  }
  ~ExportFilesTest() override { fs::remove_all(folder); }

  std::string gbkPath(std::string_view gbkName) const {
    return gbkFromWide(folder.wstring()) + "\\" + std::string(gbkName);
  }
  std::string contentOf(std::string_view gbkName) const {
    std::ifstream in(folder / wideFromGbk(gbkName), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path folder;
  Win32ExportFiles files;
};

TEST_F(ExportFilesTest, CreatesChecksAndDeletesFilesWithChineseNames) {
  const std::string path = gbkPath("客户机列表.xls");
  const std::vector<std::uint8_t> bytes = {1, 2, 3, 0, 5};
  EXPECT_FALSE(files.exists(path));
  ASSERT_TRUE(files.writeNew(path, bytes));
  EXPECT_TRUE(files.exists(path));
  EXPECT_EQ(contentOf("客户机列表.xls"), std::string("\1\2\3\0\5", 5));
  EXPECT_TRUE(files.remove(path));
  EXPECT_FALSE(files.exists(path));
  EXPECT_FALSE(files.remove(path));
}

TEST_F(ExportFilesTest, NewFileIsNotWrittenOverAnExistingOne) {
  const std::string path = gbkPath("a.xls");
  ASSERT_TRUE(files.writeNew(path, std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(files.writeNew(path, std::vector<std::uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(contentOf("a.xls"), "old");
}

TEST_F(ExportFilesTest, FolderCountsAsExistingAndMissingFolderFailsTheWrite) {
  EXPECT_TRUE(files.exists(gbkFromWide(folder.wstring())));
  EXPECT_FALSE(files.writeNew(gbkPath("gone\\a.xls"), std::vector<std::uint8_t>{1}));
}

TEST_F(ExportFilesTest, ExportWritesAWorkbookWithTheHeadingsInUtf16) {
  test::Journal journal;
  test::FakeClientList list(journal);
  list.headings = test::clientColumnsGbk();
  list.rows = {std::vector<std::string>(11, "O'Brien")};
  test::ScriptedSaveDialog dialog(journal);
  dialog.answers = {gbkPath("客户机.xls")};
  test::RecordingMessageBoxes boxes(journal);
  ExcelExport(list, dialog, files, boxes, utf16FromGbk).exportList("123");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "导出完成！");
  const std::string workbook = contentOf("客户机.xls");
  EXPECT_TRUE(workbook.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"));
  EXPECT_NE(workbook.find(std::string("I\0P\0\x30\x57\x40\x57", 8)), std::string::npos);  // "IP地址" in UTF-16LE
}

TEST(GbkDecoder, UsesCodePage936) {
  EXPECT_EQ(utf16FromGbk("IP地址"), u"IP地址");
  EXPECT_EQ(utf16FromGbk(""), u"");
}

TEST(ShellUserFolders, DesktopFromTheShellAndTheNameFromTheReader) {
  const ShellUserFolders folders([] { return std::string("张三"); });
  const std::string desktop = folders.desktopDirectory();
  ASSERT_FALSE(desktop.empty());
  EXPECT_TRUE(fs::is_directory(wideFromGbk(desktop)));
  EXPECT_EQ(folders.loginName(), "张三");
  EXPECT_EQ(testDataFolder(desktop, folders.loginName()), desktop + "\\张三测试数据");
}

}  // namespace
}  // namespace zorvi
