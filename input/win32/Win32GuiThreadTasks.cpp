#include "input/win32/Win32GuiThreadTasks.h"

#include <utility>

#include "input/win32/MessageWaits.h"

namespace zorvi {
namespace {

constexpr UINT RUN_TASK_MESSAGE = WM_APP + 0x51;
constexpr wchar_t WINDOW_CLASS[] = L"ZorviGuiTasks";

}  // namespace

Win32GuiThreadTasks::Win32GuiThreadTasks() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &Win32GuiThreadTasks::windowProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = WINDOW_CLASS;
  RegisterClassW(&windowClass);  // fails harmlessly when a previous instance registered it
  window_ = CreateWindowW(WINDOW_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
}

Win32GuiThreadTasks::~Win32GuiThreadTasks() {
  if (window_ != nullptr) {
    DestroyWindow(window_);
  }
}

bool Win32GuiThreadTasks::post(std::function<void()> task) {
  if (window_ == nullptr) {
    return false;
  }
  tasks_.push_back(std::move(task));
  if (!PostMessageW(window_, RUN_TASK_MESSAGE, 0, 0)) {
    tasks_.pop_back();
    return false;
  }
  return true;
}

void Win32GuiThreadTasks::workerWait(unsigned milliseconds) { zorvi::workerWait(milliseconds); }

void Win32GuiThreadTasks::runNextTask() {
  if (tasks_.empty()) {
    return;
  }
  // Taken off first: the task may pump messages and so run the next task nested inside it.
  std::function<void()> task = std::move(tasks_.front());
  tasks_.pop_front();
  task();
}

LRESULT CALLBACK Win32GuiThreadTasks::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == RUN_TASK_MESSAGE) {
    auto* self = reinterpret_cast<Win32GuiThreadTasks*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
      self->runNextTask();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zorvi
