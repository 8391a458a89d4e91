#pragma once
// Screenshots of the primary screen into the per-user folder: by the "本机截图" button and by the
// F9 hot key, whose burst of triggers makes one picture. Owns the process-wide hotKeyShotCounter.
// Every member runs on the GUI thread; nothing here locks.

#include <cstdint>
#include <functional>
#include <string>

#include "console/MessageBoxes.h"
#include "protocol/LocalClock.h"

namespace zorvi {

// The two facts the screenshot folder is made of. Reads never fail: an unreadable value is empty.
class UserFolders {
 public:
  virtual ~UserFolders() = default;
  virtual std::string desktopDirectory() const = 0;  // GBK, as the shell reports it
  virtual std::string loginName() const = 0;         // GBK, the logged-on user
};

class ScreenCapture {
 public:
  virtual ~ScreenCapture() = default;
  // Writes the whole primary screen as a bitmap file at `path` (GBK), replacing any file of that
  // name. False, leaving no file, when the screen area is empty or the file cannot be written.
  virtual bool captureScreenToFile(const std::string& path) = 0;
};

// The value hotKeyShotCounter is set to at each F9 trigger; the shot is taken at the next count.
inline constexpr std::int32_t HOT_KEY_SHOT_ARMED = 9;

class Screenshots {
 public:
  using ClockReader = std::function<LocalClockReading()>;

  // Keeps references to the three ports; they must outlive this object.
  Screenshots(const UserFolders& folders, ScreenCapture& capture, MessageBoxes& boxes,
              ClockReader readClock = readLocalClock);

  // The folder text, worked out afresh from the desktop directory and the login name.
  std::string testDataFolder() const;
  // testDataFolder + "\" + a fresh shotStamp + ".png".
  std::string shotFilePath() const;

  // The button: capture now; confirm a saved file with a message box, say nothing otherwise.
  void onShotButton();

  // An F9 trigger: sets hotKeyShotCounter to HOT_KEY_SHOT_ARMED.
  void armHotKeyShot();
  // Called once per trigger after its wait: counts one and captures only when the count reaches
  // HOT_KEY_SHOT_ARMED + 1, so triggers that arrive during another trigger's wait give one picture.
  void hotKeyShot();

  std::int32_t hotKeyShotCounter() const { return hotKeyShotCounter_; }

 private:
  void captureAndConfirm();

  const UserFolders& folders_;
  ScreenCapture& capture_;
  MessageBoxes& boxes_;
  ClockReader readClock_;
  std::int32_t hotKeyShotCounter_ = 0;
};

}  // namespace zorvi
