#include "WindowQueries.h"

#include "ProbeError.h"

namespace zorvi::room {
namespace {

constexpr std::wstring_view DIALOG_CLASS = L"#32770";

struct TopSearch {
  std::wstring_view title;
  std::vector<HWND> found;
};

BOOL CALLBACK collectTitled(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TopSearch*>(context);
  if (!isClass(classOf(window), DIALOG_CLASS) && titleOf(window) == search->title) {
    search->found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

struct DialogSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK collectDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == search->processId && IsWindowVisible(window) && isClass(classOf(window), DIALOG_CLASS)) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

LRESULT sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &result) == 0) {
    throw ProbeError(std::string("no answer to ") + what + " (error " + std::to_string(GetLastError()) + ")");
  }
  return static_cast<LRESULT>(result);
}

std::wstring classOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  std::wstring text(name, static_cast<std::size_t>(length > 0 ? length : 0));
  // Classes registered for version 6 of the common controls may carry a "<version>!" prefix.
  const std::size_t bang = text.find(L'!');
  return bang == std::wstring::npos ? text : text.substr(bang + 1);
}

bool isClass(const std::wstring& className, std::wstring_view expected) {
  return CompareStringOrdinal(className.data(), static_cast<int>(className.size()), expected.data(),
                              static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

std::wstring titleOf(HWND window) {
  wchar_t title[512] = {};
  const int length = GetWindowTextW(window, title, 512);
  return std::wstring(title, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring textOf(HWND window) {
  const auto length = static_cast<std::size_t>(sendBounded(window, WM_GETTEXTLENGTH, 0, 0, "WM_GETTEXTLENGTH"));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<std::size_t>(
      sendBounded(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), "WM_GETTEXT"));
  text.resize(copied < length ? copied : length);
  return text;
}

std::vector<HWND> findTopWindows(std::wstring_view title) {
  TopSearch search{title, {}};
  EnumWindows(collectTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<ControlInfo> listControls(HWND top) {
  std::vector<HWND> handles;
  EnumChildWindows(top, collectChild, reinterpret_cast<LPARAM>(&handles));
  std::vector<ControlInfo> controls;
  controls.reserve(handles.size());
  for (HWND handle : handles) {
    ControlInfo info;
    info.handle = handle;
    info.parent = GetParent(handle);
    info.className = classOf(handle);
    info.text = textOf(handle);
    info.enabled = IsWindowEnabled(handle) != FALSE;
    info.visible = IsWindowVisible(handle) != FALSE;
    info.style = GetWindowLongW(handle, GWL_STYLE);
    RECT onScreen{};
    GetWindowRect(handle, &onScreen);
    info.onScreen = POINT{onScreen.left, onScreen.top};
    info.inClient = onScreen;
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&info.inClient), 2);
    controls.push_back(std::move(info));
  }
  return controls;
}

const ControlInfo* findControl(const std::vector<ControlInfo>& controls, std::wstring_view className,
                               std::wstring_view text) {
  for (const ControlInfo& control : controls) {
    if (isClass(control.className, className) && control.text == text) {
      return &control;
    }
  }
  return nullptr;
}

std::vector<HWND> dialogsOfProcess(HWND window) {
  DialogSearch search{0, {}};
  GetWindowThreadProcessId(window, &search.processId);
  EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace zorvi::room
