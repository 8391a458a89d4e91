// watch-rows: samples the list every poll interval for a while and prints each change, so that a
// transient state (a duplicate row during a reconnect, the moment the last row arrives) is seen
// even when it lasts less than one probe start.
#include "Commands.h"
#include "Describe.h"
#include "Polling.h"
#include "ProbeError.h"

namespace zorvi::room {
namespace {

struct ListSighting {
  std::vector<std::vector<std::wstring>> rows;
  bool operator==(const ListSighting&) const = default;
};

ListSighting sightList(HWND list) {
  ListSighting sighting;
  for (ListRow& row : readList(list).rows) {
    sighting.rows.push_back(std::move(row.cells));
  }
  return sighting;
}

void printSighting(const ListSighting& sighting, ULONGLONG elapsed) {
  std::vector<std::string> rows;
  for (const auto& cells : sighting.rows) {
    JsonObject row;
    row.texts("cells", cells);
    rows.push_back(row.str());
  }
  JsonObject line;
  line.utf8("kind", "rows_seen").number("ms", static_cast<long long>(elapsed)).objects("rows", rows);
  printLine(line);
}

}  // namespace

int watchRowsCommand(const Arguments& args) {
  if (args.empty() || args.size() > 2) {
    return EXIT_USAGE;
  }
  const double seconds = parseSeconds(args[0]);
  HWND list = nullptr;
  HWND button = nullptr;
  for (const ControlInfo& control : listControls(requireMainWindow())) {
    if (isClass(control.className, L"SysListView32")) {
      list = control.handle;
    } else if (args.size() == 2 && isClass(control.className, L"Button") && control.text == args[1]) {
      if (!control.enabled) {
        throw ProbeError("the button \"" + utf8FromWide(args[1]) + "\" is disabled");
      }
      button = control.handle;
    }
  }
  if (list == nullptr || (args.size() == 2 && button == nullptr)) {
    throw ProbeError("no list view, or no such button");
  }
  const ULONGLONG start = GetTickCount64();
  ListSighting last = sightList(list);
  printSighting(last, 0);
  if (button != nullptr && !PostMessageW(button, BM_CLICK, 0, 0)) {
    throw ProbeError("cannot post BM_CLICK");
  }
  long long samples = 1;
  pollFor(seconds, [&] {
    ListSighting now = sightList(list);
    ++samples;
    if (!(now == last)) {
      printSighting(now, GetTickCount64() - start);
      last = std::move(now);
    }
    return false;
  });
  JsonObject end;
  end.utf8("kind", "watch_end")
      .number("ms", static_cast<long long>(GetTickCount64() - start))
      .number("samples", samples);
  printLine(end);
  return EXIT_DONE;
}

}  // namespace zorvi::room
