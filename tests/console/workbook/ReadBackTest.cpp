// Workbooks written by the export, read back by the two real readers Debian ships: python3-xlrd
// (run as a child process) and libfreexl (linked in).

#include <freexl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "console/ExcelExport.h"
#include "console/workbook/CompoundFile.h"
#include "tests/console/ClientColumns.h"
#include "tests/console/ConsoleFakes.h"
#include "tests/console/TestGbk.h"

namespace zorvi {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t COLUMNS = 11;
constexpr std::size_t QUOTE_ROW = 0;  // and every hundredth after it

std::string utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

// One list cell as the list holds it (GBK) and as a reader gives it back (UTF-8).
struct Cell {
  std::string gbk;
  std::string utf8;
};
using Rows = std::vector<std::vector<Cell>>;

Cell same(const std::string& ascii) {
  return {ascii, ascii};
}

// `characters` characters of Chinese text with quotes of both kinds in it.
Cell longText(std::size_t characters) {
  Cell cell;
  for (std::size_t i = 0; i < characters; ++i) {
    switch (i % 4) {
      case 0: cell.gbk += "长"; cell.utf8 += utf8(u8"长"); break;
      case 1: cell.gbk += "文"; cell.utf8 += utf8(u8"文"); break;
      case 2: cell.gbk += "本"; cell.utf8 += utf8(u8"本"); break;
      default: {
        const char* quote = i % 8 == 3 ? "'" : "\"";
        cell.gbk += quote;
        cell.utf8 += quote;
      }
    }
  }
  return cell;
}

std::vector<Cell> machineRow(std::size_t index) {
  const std::string n = std::to_string(index);
  std::vector<Cell> row = {
      same("192.168." + std::to_string(index / 250) + "." + std::to_string(index % 250)),
      same(std::to_string(50000 + index)),
      {"测试员" + n, utf8(u8"测试员") + n},
      same("SN" + n),
      same("Intel(R) Core(TM) i7-12700"),
      same("8G + 8G"),
      same("NVIDIA GeForce RTX 3060"),
      same("Default System BIOS"),
      same("31.0.15." + n),
      index % 10 == 3 ? Cell{"", ""} : same("94.06.2F.00." + n),  // an empty cell now and then
      {"Windows 10 专业版 " + n, utf8(u8"Windows 10 专业版 ") + n},
  };
  if (index % 100 == QUOTE_ROW) {
    row[2] = same("O'Brien");
  }
  return row;
}

// Runs the export over a list of these rows, as the operator would, into `path`.
void exportToFile(const Rows& rows, const fs::path& path) {
  test::Journal journal;
  test::FakeClientList list(journal);
  list.headings = test::clientColumnsGbk();
  for (const auto& row : rows) {
    std::vector<std::string> gbkRow;
    for (const Cell& cell : row) {
      gbkRow.push_back(cell.gbk);
    }
    list.rows.push_back(gbkRow);
  }
  test::ScriptedSaveDialog dialog(journal);
  dialog.answers = {"D:\\clients.xls"};
  test::FakeDisk disk(journal);
  disk.addFolder("D:");
  test::RecordingMessageBoxes boxes(journal);
  ExcelExport(list, dialog, disk, boxes, test::decodeGbk).exportList("123");
  ASSERT_EQ(boxes.shown.size(), 1u);
  ASSERT_EQ(boxes.shown[0].text, "导出完成！");
  const std::vector<std::uint8_t>& bytes = disk.files.at("D:\\clients.xls");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// What the sheet must read as: the headings, then the rows, in UTF-8.
std::vector<std::vector<std::string>> expectedSheet(const Rows& rows) {
  std::vector<std::vector<std::string>> sheet = {test::clientColumnsUtf8()};
  for (const auto& row : rows) {
    std::vector<std::string> texts;
    for (const Cell& cell : row) {
      texts.push_back(cell.utf8);
    }
    sheet.push_back(texts);
  }
  return sheet;
}

fs::path temporaryPath(const std::string& name) {
  return fs::temp_directory_path() / ("zorvi-" + name + "-" + std::to_string(getpid()));
}

std::string runCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return output;
  }
  char buffer[65536];
  std::size_t read = 0;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    output.append(buffer, read);
  }
  pclose(pipe);
  return output;
}

std::string xlrd(const std::string& arguments) {
  return runCommand(std::string(ZORVI_PYTHON3) + " " + ZORVI_XLRD_SCRIPT + " " + arguments + " 2>&1");
}

std::string fromHex(const std::string& hex) {
  std::string text;
  for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2) {
    text.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return text;
}

// Reads the workbook with xlrd and checks it holds exactly one sheet "123" with `expected` in it,
// every non-empty cell a text cell, every empty one empty, and nothing xlrd complained about.
void expectXlrdReads(const fs::path& path, const std::vector<std::vector<std::string>>& expected) {
  std::istringstream lines(xlrd("cells " + path.string()));
  std::map<std::pair<std::size_t, std::size_t>, std::pair<int, std::string>> cells;
  std::string kind;
  int sheets = 0;
  while (lines >> kind) {
    if (kind == "sheets") {
      lines >> sheets;
    } else if (kind == "sheet") {
      std::string name;
      std::size_t rows = 0;
      std::size_t columns = 0;
      lines >> name >> rows >> columns;
      EXPECT_EQ(fromHex(name), "123");
      EXPECT_EQ(rows, expected.size());
      EXPECT_EQ(columns, COLUMNS);
    } else if (kind == "cell") {
      std::size_t row = 0;
      std::size_t column = 0;
      int type = 0;
      std::string value;
      lines >> row >> column >> type >> value;
      cells[{row, column}] = {type, fromHex(value)};
    } else {
      std::string rest;
      std::getline(lines, rest);
      ADD_FAILURE() << "xlrd said: " << kind << rest;
    }
  }
  EXPECT_EQ(sheets, 1);
  ASSERT_EQ(cells.size(), expected.size() * COLUMNS);
  for (std::size_t row = 0; row < expected.size(); ++row) {
    for (std::size_t column = 0; column < COLUMNS; ++column) {
      const std::string& text = expected[row][column];
      const auto& [type, value] = cells[{row, column}];
      ASSERT_EQ(value, text) << "row " << row << " column " << column;
      ASSERT_EQ(type, text.empty() ? 0 : 1) << "row " << row << " column " << column;  // empty or text
    }
  }
}

// An export of this many machines; the larger one carries a cell of 4,000 characters, which runs
// from one SST record into the next. One row makes a workbook small enough for the mini stream.
struct ExportCase {
  std::size_t machines;
  bool longCell;
};

class ExportReadBackTest : public testing::TestWithParam<ExportCase> {
 protected:
  void SetUp() override {
    Rows rows;
    for (std::size_t index = 0; index < GetParam().machines; ++index) {
      rows.push_back(machineRow(index));
    }
    if (GetParam().longCell) {
      rows[rows.size() / 2][6] = longText(4000);
    }
    workbookPath_ = temporaryPath("export.xls");
    exportToFile(rows, workbookPath_);
    expected_ = expectedSheet(rows);
  }
  void TearDown() override { fs::remove(workbookPath_); }

  fs::path workbookPath_;
  std::vector<std::vector<std::string>> expected_;
};

INSTANTIATE_TEST_SUITE_P(Lists, ExportReadBackTest, testing::Values(ExportCase{1, false}, ExportCase{1000, true}),
                         [](const testing::TestParamInfo<ExportCase>& param) {
                           return std::to_string(param.param.machines) + "Machines";
                         });

TEST_P(ExportReadBackTest, XlrdReadsTheSheetHeadingsAndEveryCell) {
  expectXlrdReads(workbookPath_, expected_);
}

struct FreexlCloser {
  void operator()(const void* handle) const { freexl_close(handle); }
};

TEST_P(ExportReadBackTest, FreexlReadsTheSheetHeadingsAndEveryCell) {
  const void* raw = nullptr;
  ASSERT_EQ(freexl_open(workbookPath_.c_str(), &raw), FREEXL_OK);
  const std::unique_ptr<const void, FreexlCloser> handle(raw);
  unsigned int info = 0;
  ASSERT_EQ(freexl_get_info(raw, FREEXL_BIFF_VERSION, &info), FREEXL_OK);
  EXPECT_EQ(info, static_cast<unsigned>(FREEXL_BIFF_VER_8));
  ASSERT_EQ(freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &info), FREEXL_OK);
  EXPECT_EQ(info, 1u);
  const char* name = nullptr;
  ASSERT_EQ(freexl_get_worksheet_name(raw, 0, &name), FREEXL_OK);
  EXPECT_STREQ(name, "123");
  ASSERT_EQ(freexl_select_active_worksheet(raw, 0), FREEXL_OK);
  unsigned int rows = 0;
  unsigned short columns = 0;
  ASSERT_EQ(freexl_worksheet_dimensions(raw, &rows, &columns), FREEXL_OK);
  EXPECT_EQ(rows, expected_.size());
  EXPECT_EQ(columns, COLUMNS);
  for (unsigned row = 0; row < expected_.size(); ++row) {
    for (unsigned short column = 0; column < COLUMNS; ++column) {
      FreeXL_CellValue cell{};
      ASSERT_EQ(freexl_get_cell_value(raw, row, column, &cell), FREEXL_OK);
      const std::string& text = expected_[row][column];
      if (text.empty()) {
        ASSERT_EQ(cell.type, FREEXL_CELL_NULL) << "row " << row << " column " << column;
      } else {
        ASSERT_EQ(cell.type, FREEXL_CELL_SST_TEXT) << "row " << row << " column " << column;
        ASSERT_EQ(std::string(cell.value.text_value), text) << "row " << row << " column " << column;
      }
    }
  }
}

// Cells of the longest text Excel keeps run over five SST and CONTINUE records each. (freexl
// 1.0.6 reads a string split over two records only, so xlrd alone checks these.)
TEST(LongestCellsReadBack, XlrdReadsThemWhole) {
  Rows rows = {machineRow(0), machineRow(1), machineRow(2)};
  rows[0][6] = longText(32767);
  rows[1][4] = longText(32766);
  rows[2][10] = longText(20000);
  const fs::path path = temporaryPath("longest.xls");
  exportToFile(rows, path);
  expectXlrdReads(path, expectedSheet(rows));
  fs::remove(path);
}

// The container alone, around the mini-stream cutoff and past the header's 109 FAT sectors.
class ContainerReadBackTest : public testing::TestWithParam<std::size_t> {};

TEST_P(ContainerReadBackTest, XlrdFindsTheSameStream) {
  std::vector<std::uint8_t> stream(GetParam());
  for (std::size_t i = 0; i < stream.size(); ++i) {
    stream[i] = static_cast<std::uint8_t>(i * 13 + i / 509);
  }
  const fs::path filePath = temporaryPath("container.cfb");
  const fs::path expectedPath = temporaryPath("container.bin");
  const auto file = workbook::compoundFile(u"Workbook", stream);
  std::ofstream(filePath, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  std::ofstream(expectedPath, std::ios::binary)
      .write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
  const std::string said = xlrd("stream " + filePath.string() + " " + expectedPath.string());
  fs::remove(filePath);
  fs::remove(expectedPath);
  EXPECT_EQ(said, "stream " + std::to_string(stream.size()) + " same\n");
}

INSTANTIATE_TEST_SUITE_P(Sizes, ContainerReadBackTest,
                         testing::Values(1, 64, 65, 4095, 4096, 4097, 300'000, 109 * 128 * 512, 16'000'000));

}  // namespace
}  // namespace zorvi
