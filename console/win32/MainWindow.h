#pragma once
// The one window of the program. It owns its controls and everything the program runs (the
// network endpoints and sessions, the input capture and replay, screenshots, the export) for its
// whole life, routes every control event and every network event to its handler, and shows what
// the parts report. Everything here runs on the GUI thread.

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "console/win32/MainWindowLayout.h"
#include "input/CapturePorts.h"
#include "session/ClientList.h"
#include "session/SessionPorts.h"

namespace zorvi {

class MainWindow final : public SessionView, public CaptureView, public ClientListObserver {
 public:
  MainWindow();
  ~MainWindow() override;

  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the class, creates the window with its controls and parts, and shows it. False when
  // the window cannot be created.
  bool create(HINSTANCE instance, int showCommand);

  // SessionView
  void setConnectionStatus(std::string_view text) override;
  std::string connectionStatus() const override;
  void setMessageText(std::string_view text) override;
  std::string messageText() const override;
  void showMessageBox(std::string_view text) override;
  void scanStarted() override;

  // CaptureView
  void showKeyState(std::string_view keyState) override;
  void setButtonEnabled(ControlButton button, bool enabled) override;

  // ClientListObserver: the list view mirrors the model.
  void rowAppended(std::size_t index, const ClientRow& row) override;
  void rowChanged(std::size_t index, const ClientRow& row) override;
  void rowRemoved(std::size_t index) override;

  void tickAllRows();
  void untickAllRows();
  void copyProfileLine();

 private:
  struct Parts;

  // The window procedure is a static function; the object is found through the window's user data.
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  void createControls();
  void onCreated();
  void onClosing();
  void onCommand(int id, int code);
  void onListNotify(const NMHDR& header, LPARAM lParam);
  void showRow(std::size_t index, const ClientRow& row, bool insert);
  HWND control(ControlId id) const { return GetDlgItem(window_, id); }

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zorvi
