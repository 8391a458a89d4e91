#include "console/Screenshots.h"

#include <limits>
#include <utility>

#include "console/ShotNames.h"

namespace zorvi {
namespace {

constexpr std::string_view TEXT_SHOT_SAVED = "截图成功！保存成功！";

}  // namespace

Screenshots::Screenshots(const UserFolders& folders, ScreenCapture& capture, MessageBoxes& boxes,
                         ClockReader readClock)
    : folders_(folders), capture_(capture), boxes_(boxes), readClock_(std::move(readClock)) {}

std::string Screenshots::testDataFolder() const {
  return zorvi::testDataFolder(folders_.desktopDirectory(), folders_.loginName());
}

std::string Screenshots::shotFilePath() const {
  return zorvi::shotFilePath(testDataFolder(), formatShotStamp(readClock_().seconds));
}

void Screenshots::onShotButton() {
  captureAndConfirm();
}

void Screenshots::armHotKeyShot() {
  hotKeyShotCounter_ = HOT_KEY_SHOT_ARMED;
}

void Screenshots::hotKeyShot() {
  // Saturates instead of overflowing: calls without a trigger in between keep counting.
  if (hotKeyShotCounter_ < std::numeric_limits<std::int32_t>::max()) {
    ++hotKeyShotCounter_;
  }
  if (hotKeyShotCounter_ != HOT_KEY_SHOT_ARMED + 1) {
    return;
  }
  captureAndConfirm();
}

void Screenshots::captureAndConfirm() {
  if (capture_.captureScreenToFile(shotFilePath())) {
    boxes_.showMessage(TEXT_SHOT_SAVED, {}, MessageIcon::None);
  }
}

}  // namespace zorvi
