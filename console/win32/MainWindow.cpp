#include "console/win32/MainWindow.h"

#include <commctrl.h>

#include <cstring>
#include <mutex>
#include <thread>

#include "console/ClientListBridges.h"
#include "console/ExcelExport.h"
#include "console/Screenshots.h"
#include "console/win32/ExportFiles.h"
#include "console/win32/GbkDecoder.h"
#include "console/win32/MessageBoxes.h"
#include "console/win32/SaveFileDialog.h"
#include "console/win32/ScreenCapture.h"
#include "console/win32/ShellUserFolders.h"
#include "input/InputBroadcast.h"
#include "input/InputCapture.h"
#include "input/InputReplay.h"
#include "input/win32/DisplayQuery.h"
#include "input/win32/InputHooks.h"
#include "input/win32/Win32GuiThreadTasks.h"
#include "input/win32/Win32InputInjection.h"
#include "profile/KeptBios.h"
#include "profile/win32/HardwareTrait.h"
#include "profile/win32/LoginName.h"
#include "profile/win32/MachineProfile.h"
#include "protocol/win32/WideText.h"
#include "session/HostAddresses.h"
#include "session/LanMachine.h"
#include "session/NetworkService.h"
#include "session/win32/WindowGuiQueue.h"

namespace zorvi {
namespace {

constexpr wchar_t WINDOW_CLASS[] = L"ZorviSyncMainWindow";
constexpr int BIOS_TRAIT = 5;

// A controlled machine's local side: replay through the real input, the profile through the tools.
class WindowLocalMachine final : public LocalMachine {
 public:
  WindowLocalMachine(InputReplay& replay, ProfileMessageBox& messages) : replay_(replay), messages_(messages) {}
  void replayKeyMouse(std::string_view payload) override { replay_.replayKeyMouse(payload); }
  void releaseLeftButton() override { replay_.mouseButton(MouseButton::Left, false); }
  std::string buildMachineProfile() override { return zorvi::buildMachineProfile(messages_); }
  std::vector<std::string> localIPv4Addresses() override { return lookUpLocalIPv4Addresses(); }

 private:
  InputReplay& replay_;
  ProfileMessageBox& messages_;
};

class ScreenshotHotKey final : public HotKeyScreenshot {
 public:
  explicit ScreenshotHotKey(Screenshots& screenshots) : screenshots_(screenshots) {}
  void armCounter() override { screenshots_.armHotKeyShot(); }
  void shoot() override { screenshots_.hotKeyShot(); }

 private:
  Screenshots& screenshots_;
};

// Carries the profile line from the start-up thread to the label. Worker threads never touch a
// window: the text goes to the GUI thread's queue, and once the window is gone nowhere at all.
class ProfileLineRelay final : public ProfileLineLabel {
 public:
  ProfileLineRelay(GuiThread& gui, HWND label) : gui_(&gui), label_(label) {}
  void setText(std::string_view text) override {
    const std::lock_guard lock(mutex_);
    if (gui_ != nullptr) {
      gui_->post([label = label_, wide = wideFromGbk(text)] { SetWindowTextW(label, wide.c_str()); });
    }
  }
  void windowGone() {
    const std::lock_guard lock(mutex_);
    gui_ = nullptr;
  }

 private:
  std::mutex mutex_;
  GuiThread* gui_;
  HWND label_;
};

std::wstring windowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Puts one clipboard format in a movable global block; the clipboard owns it on success.
bool putOnClipboard(UINT format, const void* bytes, std::size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (block == nullptr) {
    return false;
  }
  void* target = GlobalLock(block);
  if (target == nullptr) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(block);
  if (SetClipboardData(format, block) == nullptr) {
    GlobalFree(block);
    return false;
  }
  return true;
}

}  // namespace

struct MainWindow::Parts {
  Parts(MainWindow& owner, HWND window)
      : gui(window),
        lan(network, gui, owner, local, clients),
        capture(InputCapturePorts{screen, owner, hotKey, tasks, broadcast}),
        dialog(window),
        profileLine(std::make_shared<ProfileLineRelay>(gui, GetDlgItem(window, ID_PROFILE_LABEL))) {}

  WindowGuiQueue gui;
  NetworkService network;
  ClientList clients;
  Win32InputInjection injection;
  InputReplay replay{injection};
  TaskModalProfileMessageBox profileMessages;
  WindowLocalMachine local{replay, profileMessages};
  LanMachine lan;
  Win32MessageBoxes boxes;
  ShellUserFolders folders{readLoginName};
  GdiScreenCapture screenCapture;
  Screenshots screenshots{folders, screenCapture, boxes};
  ScreenshotHotKey hotKey{screenshots};
  Win32Screen screen;
  Win32GuiThreadTasks tasks;
  TickedRowTargets targets{clients};
  ServerInputSender sender{lan.server()};
  InputBroadcast broadcast{targets, sender};
  InputCapture capture;
  InputHooks hooks;
  ClientListExportReader exportReader{clients};
  Win32SaveDialog dialog;
  Win32ExportFiles files;
  ExcelExport excelExport{exportReader, dialog, files, boxes, utf16FromGbk};
  std::shared_ptr<ProfileLineRelay> profileLine;
};

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
  if (parts_ != nullptr) {
    parts_->profileLine->windowGone();
  }
  if (font_ != nullptr) {
    DeleteObject(font_);
  }
}

bool MainWindow::create(HINSTANCE instance, int showCommand) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::windowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = WINDOW_CLASS;
  if (RegisterClassExW(&windowClass) == 0) {
    return false;
  }
  const std::wstring title = wideFromGbk(MAIN_WINDOW_TITLE);
  const HWND window = CreateWindowExW(0, WINDOW_CLASS, title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT, nullptr,
                                      nullptr, instance, this);
  if (window == nullptr) {
    return false;
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return true;
}

LRESULT CALLBACK MainWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (parts_ != nullptr && message == parts_->gui.message()) {
    parts_->gui.runPending();
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      createControls();
      parts_ = std::make_unique<Parts>(*this, window_);
      parts_->clients.setObserver(this);
      onCreated();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == ID_CLIENT_LIST) {
        onListNotify(*header, lParam);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      // The labels are transparent: their text is drawn straight on the window's background.
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CLOSE:
      onClosing();
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      if (parts_ != nullptr) {
        parts_->profileLine->windowGone();
        parts_->clients.setObserver(nullptr);
      }
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void MainWindow::createControls() {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  // A face every Chinese Windows has; DEFAULT_CHARSET lets the system pick glyphs for any text.
  const std::wstring face = wideFromGbk(UI_FONT_FACE);
  font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());

  // The status bar keeps the place of the layout instead of docking itself to the bottom edge.
  const HWND statusBar =
      CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN,
                      STATUS_BAR_PLACE.left, STATUS_BAR_PLACE.top, STATUS_BAR_PLACE.width, STATUS_BAR_PLACE.height,
                      window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_STATUS_BAR)), instance, nullptr);
  const int paneEdges[2] = {STATUS_CREDIT_PANE_WIDTH, -1};
  SendMessageW(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(paneEdges));
  SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wideFromGbk(STATUS_CREDIT).c_str()));
  SendMessageW(statusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(wideFromGbk(STATUS_VERSION).c_str()));
  SendMessageW(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);

  for (const ControlPlace& place : MAIN_WINDOW_CONTROLS) {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (place.kind) {
      case ControlKind::Label:
        style |= SS_LEFT | SS_CENTERIMAGE | SS_NOTIFY | SS_NOPREFIX;
        break;
      case ControlKind::Button:
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case ControlKind::Edit:
        windowClass = L"EDIT";
        style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::List:
        windowClass = WC_LISTVIEWW;
        style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::StatusBar:
        windowClass = STATUSCLASSNAMEW;
        break;
    }
    const HWND child = CreateWindowExW(exStyle, windowClass, wideFromGbk(place.text).c_str(), style, place.left,
                                       place.top, place.width, place.height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  }
  // The key-state label sits over the status bar's right end.
  SetWindowPos(control(ID_KEY_STATE_LABEL), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  const HWND list = control(ID_CLIENT_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (std::size_t column = 0; column < CLIENT_LIST_COLUMN_COUNT; ++column) {
    std::wstring heading = wideFromGbk(CLIENT_LIST_COLUMNS[column]);
    LVCOLUMNW description{};
    description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    description.pszText = heading.data();
    description.cx = CLIENT_LIST_COLUMN_WIDTHS[column];
    description.iSubItem = static_cast<int>(column);
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&description));
  }
}

void MainWindow::onCreated() {
  Parts& parts = *parts_;
  keepBios(queryHardwareTrait(BIOS_TRAIT));
  const std::wstring folder = wideFromGbk(parts.screenshots.testDataFolder());
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryW(folder.c_str(), nullptr);
  }
  parts.hooks.installHooks(parts.capture);
  EnableWindow(control(ID_RELEASE_CONTROL), FALSE);
  EnableWindow(control(ID_TAKE_CONTROL), FALSE);
  EnableWindow(control(ID_EXPORT), FALSE);
  parts.lan.open();

  std::thread([line = parts.profileLine] {
    TaskModalProfileMessageBox messages;
    showLocalProfile(*line, messages);
  }).detach();
}

void MainWindow::onClosing() {
  if (parts_ != nullptr) {
    parts_->hooks.removeHooks();
  }
}

void MainWindow::onCommand(int id, int code) {
  if (parts_ == nullptr) {
    return;
  }
  Parts& parts = *parts_;
  if (id == ID_PROFILE_LABEL && code == STN_DBLCLK) {
    copyProfileLine();
    return;
  }
  if (code != BN_CLICKED) {
    return;
  }
  switch (id) {
    case ID_SCAN:
      parts.lan.discovery().scanButton();
      break;
    case ID_TICK_ALL:
      tickAllRows();
      break;
    case ID_UNTICK_ALL:
      untickAllRows();
      break;
    case ID_EXPORT:
      parts.excelExport.exportList(EXPORT_SHEET_NAME);
      break;
    case ID_TAKE_CONTROL:
      parts.capture.startControl();
      break;
    case ID_RELEASE_CONTROL:
      parts.capture.releaseControl();
      break;
    case ID_SHOT:
      parts.screenshots.onShotButton();
      break;
    case ID_SEND_TEXT:
      parts.lan.controller().sendOperatorText();
      break;
    default:
      break;
  }
}

void MainWindow::onListNotify(const NMHDR& header, LPARAM lParam) {
  if (header.code != LVN_ITEMCHANGED || parts_ == nullptr) {
    return;
  }
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if ((change->uChanged & LVIF_STATE) == 0 || change->iItem < 0 ||
      ((change->uOldState ^ change->uNewState) & LVIS_STATEIMAGEMASK) == 0) {
    return;
  }
  // State image 2 is the ticked box, 1 the empty one.
  const bool ticked = ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
  parts_->clients.setTicked(static_cast<std::size_t>(change->iItem), ticked);
}

void MainWindow::tickAllRows() {
  const std::size_t rows = parts_->clients.rowCount();
  for (std::size_t row = 0; row < rows; ++row) {
    parts_->clients.setTicked(row, true);
  }
}

void MainWindow::untickAllRows() {
  const std::size_t rows = parts_->clients.rowCount();
  for (std::size_t row = 0; row < rows; ++row) {
    parts_->clients.setTicked(row, false);
  }
}

void MainWindow::copyProfileLine() {
  const std::wstring wide = windowText(control(ID_PROFILE_LABEL));
  const std::string gbk = gbkFromWide(wide);
  if (!OpenClipboard(nullptr)) {
    return;
  }
  EmptyClipboard();
  const bool copied = putOnClipboard(CF_TEXT, gbk.c_str(), gbk.size() + 1) &&
                      putOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  CloseClipboard();
  if (copied) {
    parts_->boxes.showMessage(TEXT_PROFILE_COPIED, {}, MessageIcon::None);
  }
}

void MainWindow::setConnectionStatus(std::string_view text) {
  SetWindowTextW(control(ID_CONNECTION_LABEL), wideFromGbk(text).c_str());
}

void MainWindow::setMessageText(std::string_view text) {
  SetWindowTextW(control(ID_MESSAGE_EDIT), wideFromGbk(text).c_str());
}

std::string MainWindow::connectionStatus() const {
  return gbkFromWide(windowText(control(ID_CONNECTION_LABEL)));
}

std::string MainWindow::messageText() const { return gbkFromWide(windowText(control(ID_MESSAGE_EDIT))); }

void MainWindow::showMessageBox(std::string_view text) { parts_->boxes.showMessage(text, {}, MessageIcon::None); }

void MainWindow::scanStarted() {
  if (parts_->capture.controlOn()) {
    return;  // the buttons keep saying that control is on, since it is
  }
  EnableWindow(control(ID_EXPORT), TRUE);
  EnableWindow(control(ID_TAKE_CONTROL), TRUE);
  EnableWindow(control(ID_RELEASE_CONTROL), FALSE);
}

void MainWindow::showKeyState(std::string_view keyState) {
  SetWindowTextW(control(ID_KEY_STATE_LABEL), wideFromGbk(keyState).c_str());
}

void MainWindow::setButtonEnabled(ControlButton button, bool enabled) {
  ControlId id = ID_EXPORT;
  switch (button) {
    case ControlButton::TakeControl:
      id = ID_TAKE_CONTROL;
      break;
    case ControlButton::ReleaseControl:
      id = ID_RELEASE_CONTROL;
      break;
    case ControlButton::ExportToExcel:
      id = ID_EXPORT;
      break;
  }
  EnableWindow(control(id), enabled ? TRUE : FALSE);
}

void MainWindow::rowAppended(std::size_t index, const ClientRow& row) { showRow(index, row, true); }

void MainWindow::rowChanged(std::size_t index, const ClientRow& row) { showRow(index, row, false); }

void MainWindow::rowRemoved(std::size_t index) {
  SendMessageW(control(ID_CLIENT_LIST), LVM_DELETEITEM, index, 0);
}

void MainWindow::showRow(std::size_t index, const ClientRow& row, bool insert) {
  const HWND list = control(ID_CLIENT_LIST);
  for (std::size_t column = 0; column < CLIENT_LIST_COLUMN_COUNT; ++column) {
    std::wstring text = wideFromGbk(row.cells[column]);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(index);
    item.iSubItem = static_cast<int>(column);
    item.pszText = text.data();
    if (insert && column == 0) {
      SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    } else {
      SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    }
  }
  LVITEMW state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(row.ticked ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
}

}  // namespace zorvi
