#pragma once
// What the sessions need from the rest of the program, in the program's own terms. All of it is
// called on the GUI thread.

#include <string>
#include <string_view>
#include <vector>

namespace zorvi {

// The main-window controls the sessions write.
class SessionView {
 public:
  virtual ~SessionView() = default;
  // The connection label "透明标签2".
  virtual void setConnectionStatus(std::string_view text) = 0;
  // The current text of "透明标签2".
  virtual std::string connectionStatus() const = 0;
  // Replaces the whole text of the message box "编辑框5".
  virtual void setMessageText(std::string_view text) = 0;
  // The current text of "编辑框5".
  virtual std::string messageText() const = 0;
  // A task-modal box with an OK button and the title "信息："; returns when it is closed, while the
  // GUI thread keeps dispatching.
  virtual void showMessageBox(std::string_view text) = 0;
  // A scan was pressed: the buttons go to the Ready state, unless control is on (then they keep
  // the Controlling state, which is what is really going on).
  virtual void scanStarted() = 0;
};

// What a controlled machine does for its controller.
class LocalMachine {
 public:
  virtual ~LocalMachine() = default;
  // Places the pointer and performs the key state of one Input payload.
  virtual void replayKeyMouse(std::string_view payload) = 0;
  // Lets go of the left mouse button, wherever the pointer is.
  virtual void releaseLeftButton() = 0;
  // The nine profile fields joined as the Profile payload. Takes seconds; keeps dispatching.
  virtual std::string buildMachineProfile() = 0;
  // This machine's IPv4 addresses as dotted texts, in the order the host-name lookup gives them.
  virtual std::vector<std::string> localIPv4Addresses() = 0;
};

}  // namespace zorvi
