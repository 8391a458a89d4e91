// The two operations of the operator console that run synchronously on the GUI thread: exporting
// the client list to a workbook, and encoding and writing one full-screen capture.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "console/BitmapFile.h"
#include "console/ExcelExport.h"
#include "console/posix/GbkIconv.h"

namespace zorvi {
namespace {

class ListOfMachines final : public ClientListReader {
 public:
  explicit ListOfMachines(std::size_t rows) {
    for (std::size_t i = 0; i < rows; ++i) {
      const std::string n = std::to_string(i);
      rows_.push_back({"192.168.1." + std::to_string(i % 250), std::to_string(50000 + i), "测试员" + n, "SN" + n,
                       "Intel(R) Core(TM) i7-12700", "8G + 8G", "NVIDIA GeForce RTX 3060", "Default System BIOS",
                       "31.0.15." + n, "94.06.2F.00." + n, "Windows 10 专业版 19045"});
    }
  }
  std::size_t rowCount() const override { return rows_.size(); }
  std::size_t columnCount() const override { return HEADINGS.size(); }
  std::string columnHeading(std::size_t column) const override { return HEADINGS[column]; }
  std::string cellText(std::size_t row, std::size_t column) const override { return rows_[row][column]; }

 private:
  inline static const std::vector<std::string> HEADINGS = {"IP地址", "端口",     "用户名", "SN码",    "CPU",
                                                           "内存",   "显卡",     "BIOS",   "显卡驱动", "VBIOS",
                                                           "系统版本"};
  std::vector<std::vector<std::string>> rows_;
};

class AlwaysChooses final : public SaveDialog {
 public:
  std::optional<std::string> choosePath(const SaveDialogSettings&) override { return "D:\\clients.xls"; }
};

// Keeps the last workbook in memory: the benchmark measures building it, not the disk.
class MemoryFiles final : public ExportFiles {
 public:
  bool exists(const std::string&) const override { return !lastWorkbook.empty(); }
  bool remove(const std::string&) override {
    lastWorkbook.clear();
    return true;
  }
  bool writeNew(const std::string&, std::span<const std::uint8_t> bytes) override {
    lastWorkbook.assign(bytes.begin(), bytes.end());
    return true;
  }
  std::vector<std::uint8_t> lastWorkbook;
};

class SilentBoxes final : public MessageBoxes {
 public:
  void showMessage(std::string_view, std::string_view, MessageIcon) override {}
};

void exportRows(benchmark::State& state) {
  const ListOfMachines list(static_cast<std::size_t>(state.range(0)));
  AlwaysChooses dialog;
  MemoryFiles files;
  SilentBoxes boxes;
  ExcelExport excelExport(list, dialog, files, boxes, utf16FromGbkIconv);
  for (auto _ : state) {
    excelExport.exportList("123");
    benchmark::DoNotOptimize(files.lastWorkbook.data());
  }
  state.counters["workbook_bytes"] = static_cast<double>(files.lastWorkbook.size());
}
BENCHMARK(exportRows)->Arg(1000)->Unit(benchmark::kMillisecond);

class FileSink final : public ByteSink {
 public:
  explicit FileSink(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  bool write(std::span<const std::uint8_t> bytes) override {
    return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size();
  }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

void writeFullHdCapture(benchmark::State& state) {
  const auto layout = bitmapLayout(1920, 1080, 32);
  if (!layout) {
    state.SkipWithError("no layout for a 1920 x 1080 screen");
    return;
  }
  std::vector<std::uint8_t> pixels(layout->pixelBytes);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<std::uint8_t>(i * 31);
  }
  const std::string path = (std::filesystem::temp_directory_path() / "zorvi-bench-capture.png").string();
  for (auto _ : state) {
    FileSink sink(path);  // created anew each time, as each screenshot is
    if (!writeBitmapFile(sink, *layout, {}, pixels)) {
      state.SkipWithError("the capture could not be written");
      break;
    }
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}
BENCHMARK(writeFullHdCapture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvi

BENCHMARK_MAIN();
