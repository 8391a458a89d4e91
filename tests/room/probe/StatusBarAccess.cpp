#include "StatusBarAccess.h"

#include <commctrl.h>

#include <algorithm>

#include "RemoteMemory.h"
#include "WindowQueries.h"

namespace zorvi::room {
namespace {

constexpr WPARAM MAX_PANES = 256;  // the control's own limit

}  // namespace

std::vector<std::wstring> readStatusPanes(HWND statusBar) {
  const auto panes = static_cast<std::size_t>(sendBounded(statusBar, SB_GETPARTS, MAX_PANES, 0, "SB_GETPARTS"));
  std::vector<std::size_t> lengths;
  for (std::size_t pane = 0; pane < panes; ++pane) {
    lengths.push_back(LOWORD(sendBounded(statusBar, SB_GETTEXTLENGTHW, pane, 0, "SB_GETTEXTLENGTHW")));
  }
  // SB_GETTEXTW copies the whole pane text with no size argument: the buffer fits the longest.
  const std::size_t longest = lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
  RemoteProcess process(statusBar);
  // The margin covers a pane that grows between the two reads.
  RemoteBuffer buffer(process, (longest + 256) * sizeof(wchar_t));
  std::vector<std::wstring> texts;
  for (std::size_t pane = 0; pane < panes; ++pane) {
    std::wstring text(lengths[pane], L'\0');
    if (!text.empty()) {
      sendBounded(statusBar, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(buffer.at(0)), "SB_GETTEXTW");
      buffer.read(0, text.data(), text.size() * sizeof(wchar_t));
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

}  // namespace zorvi::room
