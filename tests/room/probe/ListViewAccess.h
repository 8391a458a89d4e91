// The report-style list view of another process: headings, cells and check boxes, read and
// written through list-view messages whose structures live in that process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zorvi::room {

struct ListRow {
  int stateImage = 0;  // 2 checked, 1 unchecked, 0 no check box
  std::vector<std::wstring> cells;
};

struct ListContent {
  std::vector<std::wstring> columns;
  std::vector<ListRow> rows;
};

int rowCount(HWND list);          // throws ProbeError
ListContent readList(HWND list);  // throws ProbeError

// Sets the check box of `row`, or of every row when `row` is -1, through LVM_SETITEMSTATE with
// state image 2 (checked) or 1 (unchecked), as a click on the box would. Throws ProbeError.
void setChecked(HWND list, int row, bool checked);

}  // namespace zorvi::room
