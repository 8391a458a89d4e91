#include "console/win32/ScreenCapture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "console/BitmapFile.h"
#include "console/Screenshots.h"
#include "console/win32/ShellUserFolders.h"
#include "protocol/win32/WideText.h"
#include "tests/console/ConsoleFakes.h"

namespace zorvi {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16) |
         static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

struct Display {
  int width;
  int height;
  int colourDepth;
};

Display currentDisplay() {
  HDC screen = GetDC(nullptr);
  const Display display{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES),
                        GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL)};
  ReleaseDC(nullptr, screen);
  return display;
}

// A folder of its own under the temp directory, with a Chinese name as a user's folder has.
class ScreenCaptureTest : public testing::Test {
 protected:
  ScreenCaptureTest() {
    folder = fs::temp_directory_path() / wideFromGbk("截图测试" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
  }
  ~ScreenCaptureTest() override { fs::remove_all(folder); }

  std::string gbkPath(const std::wstring& name) const { return gbkFromWide((folder / name).wstring()); }

  fs::path folder;
};

TEST_F(ScreenCaptureTest, WritesABitmapTheSizeOfTheDisplay) {
  const Display display = currentDisplay();
  ASSERT_TRUE(captureScreenToFile(gbkPath(L"1000.png")));
  const std::vector<std::uint8_t> file = readFile(folder / L"1000.png");
  ASSERT_GE(file.size(), 54u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(u32At(file, 2), file.size());  // the size field tells the truth
  EXPECT_EQ(u32At(file, 18), static_cast<std::uint32_t>(display.width));
  EXPECT_EQ(u32At(file, 22), static_cast<std::uint32_t>(display.height));
  const auto layout = bitmapLayout(display.width, display.height, display.colourDepth);
  ASSERT_TRUE(layout);
  EXPECT_EQ(file.size(), layout->fileSize());
  if (display.width == 1920 && display.height == 1080 && display.colourDepth > 8) {
    EXPECT_EQ(file.size(), 6'220'854u);
  }
}

TEST_F(ScreenCaptureTest, ReplacesAnExistingFileWhole) {
  const fs::path path = folder / L"1000.png";
  std::ofstream(path, std::ios::binary) << std::string(7'000'000, 'x');
  ASSERT_TRUE(captureScreenToFile(gbkPath(L"1000.png")));
  const std::vector<std::uint8_t> file = readFile(path);
  ASSERT_GE(file.size(), 6u);
  EXPECT_EQ(file.size(), u32At(file, 2));
}

TEST_F(ScreenCaptureTest, MissingFolderGivesFalseAndNoFile) {
  EXPECT_FALSE(captureScreenToFile(gbkPath(L"gone\\1000.png")));
  EXPECT_FALSE(fs::exists(folder / L"gone"));
}

// The button end to end: the real shell desktop replaced by the test folder, the real capture.
class FolderInTemp final : public UserFolders {
 public:
  explicit FolderInTemp(std::string desktop) : desktop_(std::move(desktop)) {}
  std::string desktopDirectory() const override { return desktop_; }
  std::string loginName() const override { return "Admin"; }

 private:
  std::string desktop_;
};

TEST_F(ScreenCaptureTest, ShotButtonSavesIntoTheTestDataFolderAndConfirms) {
  const FolderInTemp folders(gbkFromWide(folder.wstring()));
  GdiScreenCapture capture;
  test::Journal journal;
  test::RecordingMessageBoxes boxes(journal);
  Screenshots screenshots(folders, capture, boxes, [] { return LocalClockReading{1, 0}; });
  fs::create_directory(folder / wideFromGbk("Admin测试数据"));

  screenshots.onShotButton();
  const std::vector<std::uint8_t> file = readFile(folder / wideFromGbk("Admin测试数据\\1000.png"));
  ASSERT_GE(file.size(), 2u);
  EXPECT_EQ(file[0], 'B');
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "截图成功！保存成功！");

  fs::remove_all(folder / wideFromGbk("Admin测试数据"));
  screenshots.armHotKeyShot();
  screenshots.hotKeyShot();
  EXPECT_EQ(boxes.shown.size(), 1u);  // no folder: no file and nothing shown
}

}  // namespace
}  // namespace zorvi
