#include "console/Screenshots.h"

#include <gtest/gtest.h>

#include "tests/console/ConsoleFakes.h"

namespace zorvi {
namespace {

using test::ShownBox;

constexpr char FOLDER[] = "C:\\Users\\Admin\\Desktop\\Admin测试数据";

class FakeUserFolders final : public UserFolders {
 public:
  std::string desktopDirectory() const override { return desktop; }
  std::string loginName() const override { return login; }
  std::string desktop = "C:\\Users\\Admin\\Desktop";
  std::string login = "Admin";
};

// Writes a bitmap-looking file the way the real capture does: replacing, and only into an
// existing folder.
class DiskCapture final : public ScreenCapture {
 public:
  explicit DiskCapture(test::FakeDisk& disk) : disk_(disk) {}
  bool captureScreenToFile(const std::string& path) override {
    ++attempts;
    return disk_.replace(path, {'B', 'M', static_cast<std::uint8_t>(attempts)});
  }
  int attempts = 0;

 private:
  test::FakeDisk& disk_;
};

class ScreenshotsTest : public testing::Test {
 protected:
  ScreenshotsTest() { disk.addFolder(FOLDER); }

  std::vector<ShownBox> savedBoxes(std::size_t count) {
    return std::vector<ShownBox>(count, ShownBox{"截图成功！保存成功！", "", MessageIcon::None});
  }

  test::Journal journal;
  test::FakeDisk disk{journal};
  FakeUserFolders folders;
  DiskCapture capture{disk};
  test::RecordingMessageBoxes boxes{journal};
  LocalClockReading now{1, 0};
  Screenshots screenshots{folders, capture, boxes, [this] { return now; }};
};

TEST_F(ScreenshotsTest, ButtonSavesIntoTheUserFolderAndConfirms) {
  screenshots.onShotButton();
  EXPECT_TRUE(disk.files.contains("C:\\Users\\Admin\\Desktop\\Admin测试数据\\1000.png"));
  EXPECT_EQ(boxes.shown, savedBoxes(1));
}

TEST_F(ScreenshotsTest, SameSecondGivesTheSameNameAndTheSecondReplacesTheFirst) {
  now = {1'700'000'000, 0};
  screenshots.onShotButton();
  now.milliseconds = 900;
  screenshots.onShotButton();
  ASSERT_EQ(disk.files.size(), 1u);
  EXPECT_EQ(disk.files.begin()->first, std::string(FOLDER) + "\\1700000000000.png");
  EXPECT_EQ(disk.files.begin()->second[2], 2);  // the second capture's content
  EXPECT_EQ(boxes.shown, savedBoxes(2));
}

TEST_F(ScreenshotsTest, FolderIsWorkedOutAfreshEachTime) {
  EXPECT_EQ(screenshots.testDataFolder(), FOLDER);
  folders.login = "";
  folders.desktop = "D:\\桌面\\";
  EXPECT_EQ(screenshots.testDataFolder(), "D:\\桌面\\测试数据");
  EXPECT_EQ(screenshots.shotFilePath(), "D:\\桌面\\测试数据\\1000.png");
}

TEST_F(ScreenshotsTest, MissingFolderLeavesNoFileAndShowsNothingFromEitherEntry) {
  disk.folders.clear();
  screenshots.onShotButton();
  screenshots.armHotKeyShot();
  screenshots.hotKeyShot();
  EXPECT_EQ(capture.attempts, 2);
  EXPECT_TRUE(disk.files.empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ScreenshotsTest, ButtonDoesNotUseTheCounter) {
  screenshots.armHotKeyShot();
  screenshots.onShotButton();
  EXPECT_EQ(screenshots.hotKeyShotCounter(), HOT_KEY_SHOT_ARMED);
  screenshots.hotKeyShot();
  EXPECT_EQ(capture.attempts, 2);
}

// A script of hot-key events: 'T' an F9 trigger (the counter set to 9), 'S' one delayed
// hotKeyShot call. A trigger arriving during another's wait is handled inside that wait, so its
// own call comes before the outer one.
struct BurstCase {
  const char* events;
  int pictures;
  std::int32_t counterAfter;
};

class HotKeyCounterTest : public ScreenshotsTest, public testing::WithParamInterface<BurstCase> {};

TEST_P(HotKeyCounterTest, OnePicturePerBurst) {
  for (const char* event = GetParam().events; *event != '\0'; ++event) {
    if (*event == 'T') {
      screenshots.armHotKeyShot();
    } else {
      screenshots.hotKeyShot();
    }
  }
  EXPECT_EQ(capture.attempts, GetParam().pictures);
  EXPECT_EQ(boxes.shown, savedBoxes(static_cast<std::size_t>(GetParam().pictures)));
  EXPECT_EQ(screenshots.hotKeyShotCounter(), GetParam().counterAfter);
}

INSTANTIATE_TEST_SUITE_P(Bursts, HotKeyCounterTest,
                         testing::Values(BurstCase{"TS", 1, 10},
                                         BurstCase{"TTSS", 1, 11},     // two triggers half a second apart
                                         BurstCase{"TTTSSS", 1, 12},
                                         BurstCase{"TSTS", 2, 10},     // two separate bursts
                                         BurstCase{"S", 0, 1},         // a call without a trigger
                                         BurstCase{"TSS", 1, 11}));

}  // namespace
}  // namespace zorvi
