#include "ListViewAccess.h"

#include <commctrl.h>

#include "ProbeError.h"
#include "RemoteMemory.h"
#include "WindowQueries.h"

namespace zorvi::room {
namespace {

// Layout of the remote buffer: the structure first, the text after it.
constexpr std::size_t TEXT_OFFSET = 1024;
constexpr std::size_t TEXT_CHARS = 4096;
constexpr std::size_t BUFFER_SIZE = TEXT_OFFSET + TEXT_CHARS * sizeof(wchar_t);

std::wstring readRemoteText(const RemoteBuffer& buffer, std::size_t length) {
  const std::size_t count = length < TEXT_CHARS ? length : TEXT_CHARS - 1;
  std::wstring text(count, L'\0');
  if (count > 0) {
    buffer.read(TEXT_OFFSET, text.data(), count * sizeof(wchar_t));
  }
  return text;
}

int columnCount(HWND list) {
  const auto header = reinterpret_cast<HWND>(sendBounded(list, LVM_GETHEADER, 0, 0, "LVM_GETHEADER"));
  if (header == nullptr) {
    return 0;
  }
  return static_cast<int>(sendBounded(header, HDM_GETITEMCOUNT, 0, 0, "HDM_GETITEMCOUNT"));
}

std::wstring columnHeading(HWND list, RemoteBuffer& buffer, int column) {
  LVCOLUMNW request{};
  request.mask = LVCF_TEXT;
  request.pszText = static_cast<LPWSTR>(buffer.at(TEXT_OFFSET));
  request.cchTextMax = static_cast<int>(TEXT_CHARS);
  buffer.write(0, &request, sizeof request);
  const wchar_t nothing = L'\0';
  buffer.write(TEXT_OFFSET, &nothing, sizeof nothing);
  if (sendBounded(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(buffer.at(0)),
                  "LVM_GETCOLUMNW") == 0) {
    throw ProbeError("LVM_GETCOLUMNW failed for column " + std::to_string(column));
  }
  wchar_t text[TEXT_CHARS] = {};
  buffer.read(TEXT_OFFSET, text, sizeof text);
  text[TEXT_CHARS - 1] = L'\0';
  return text;
}

std::wstring cellText(HWND list, RemoteBuffer& buffer, int row, int column) {
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = static_cast<LPWSTR>(buffer.at(TEXT_OFFSET));
  request.cchTextMax = static_cast<int>(TEXT_CHARS);
  buffer.write(0, &request, sizeof request);
  const auto length = static_cast<std::size_t>(sendBounded(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                           reinterpret_cast<LPARAM>(buffer.at(0)), "LVM_GETITEMTEXTW"));
  return readRemoteText(buffer, length);
}

}  // namespace

int rowCount(HWND list) { return static_cast<int>(sendBounded(list, LVM_GETITEMCOUNT, 0, 0, "LVM_GETITEMCOUNT")); }

ListContent readList(HWND list) {
  RemoteProcess process(list);
  RemoteBuffer buffer(process, BUFFER_SIZE);
  ListContent content;
  const int columns = columnCount(list);
  for (int column = 0; column < columns; ++column) {
    content.columns.push_back(columnHeading(list, buffer, column));
  }
  const int rows = rowCount(list);
  for (int row = 0; row < rows; ++row) {
    ListRow entry;
    const auto state = static_cast<UINT>(
        sendBounded(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK, "LVM_GETITEMSTATE"));
    entry.stateImage = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
    for (int column = 0; column < columns; ++column) {
      entry.cells.push_back(cellText(list, buffer, row, column));
    }
    content.rows.push_back(std::move(entry));
  }
  return content;
}

void setChecked(HWND list, int row, bool checked) {
  RemoteProcess process(list);
  RemoteBuffer buffer(process, sizeof(LVITEMW));
  LVITEMW request{};
  request.stateMask = LVIS_STATEIMAGEMASK;
  request.state = INDEXTOSTATEIMAGEMASK(checked ? 2U : 1U);
  buffer.write(0, &request, sizeof request);
  if (sendBounded(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.at(0)),
                  "LVM_SETITEMSTATE") == 0) {
    throw ProbeError("LVM_SETITEMSTATE failed for row " + std::to_string(row));
  }
}

}  // namespace zorvi::room
