#pragma once
// The message boxes the operator sees. Every box has an OK button only, no owner window and is
// task-modal; a box without a title of its own carries DEFAULT_MESSAGE_TITLE.

#include <string_view>

namespace zorvi {

inline constexpr std::string_view DEFAULT_MESSAGE_TITLE = "信息：";

enum class MessageIcon { None, Information, Warning, Error };

// The title a box shows: its own, or DEFAULT_MESSAGE_TITLE when it has none.
constexpr std::string_view messageTitle(std::string_view title) {
  return title.empty() ? DEFAULT_MESSAGE_TITLE : title;
}

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows one box (GBK texts; an empty title means none of its own) and returns when the operator
  // has dismissed it. Called on the GUI thread, which keeps dispatching messages meanwhile.
  virtual void showMessage(std::string_view text, std::string_view title, MessageIcon icon) = 0;
};

}  // namespace zorvi
