#include "Describe.h"

namespace zorvi::room {
namespace {

std::vector<long long> rectNumbers(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

JsonObject describeWindow(HWND window, std::size_t count) {
  RECT onScreen{};
  GetWindowRect(window, &onScreen);
  RECT client{};
  GetClientRect(window, &client);
  JsonObject line;
  line.utf8("kind", "window")
      .text("title", titleOf(window))
      .number("count", static_cast<long long>(count))
      .numbers("rect", rectNumbers(onScreen))
      .numbers("client", {client.right, client.bottom})
      .numbers("screen", {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  return line;
}

JsonObject describeControl(const ControlInfo& control) {
  JsonObject line;
  line.utf8("kind", "control")
      .text("class", control.className)
      .text("text", control.text)
      .flag("enabled", control.enabled)
      .flag("visible", control.visible)
      .number("style", static_cast<long long>(static_cast<unsigned long>(control.style)))
      .numbers("rect", rectNumbers(control.inClient))
      .numbers("screen", {control.onScreen.x, control.onScreen.y})
      .text("parent", classOf(control.parent));
  return line;
}

JsonObject describeList(const ListContent& content) {
  std::vector<std::string> rows;
  for (const ListRow& row : content.rows) {
    JsonObject entry;
    entry.flag("checked", row.stateImage == 2).number("state_image", row.stateImage).texts("cells", row.cells);
    rows.push_back(entry.str());
  }
  JsonObject line;
  line.utf8("kind", "list").texts("columns", content.columns).objects("rows", rows);
  return line;
}

JsonObject describeDialog(HWND dialog) {
  std::vector<std::wstring> texts;
  std::vector<std::wstring> buttons;
  std::vector<std::wstring> edits;
  for (const ControlInfo& control : listControls(dialog)) {
    if (isClass(control.className, L"Static") && !control.text.empty()) {
      texts.push_back(control.text);
    } else if (isClass(control.className, L"Button") && control.visible) {
      buttons.push_back(control.text);
    } else if (isClass(control.className, L"Edit")) {
      edits.push_back(control.text);
    }
  }
  std::wstring text;
  for (const std::wstring& piece : texts) {
    text += (text.empty() ? L"" : L"\n") + piece;
  }
  JsonObject line;
  line.utf8("kind", "box")
      .text("title", titleOf(dialog))
      .text("text", text)
      .texts("buttons", buttons)
      .texts("edits", edits);
  return line;
}

}  // namespace zorvi::room
