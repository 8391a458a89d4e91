#include "input/win32/MessageWaits.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace zorvi {
namespace {

constexpr UINT RECORD_MESSAGE = WM_APP + 1;
constexpr UINT QUIT_DURING_WAIT = WM_APP + 2;
constexpr UINT WAIT_AGAIN = WM_APP + 3;

// A hidden window that records the messages dispatched to it, on the test's own thread.
class RecordingWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &RecordingWindow::procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZorviWaitTestWindow";
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    recorded().clear();
  }
  void TearDown() override {
    DestroyWindow(window_);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  static std::vector<WPARAM>& recorded() {
    static std::vector<WPARAM> messages;
    return messages;
  }

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RECORD_MESSAGE) {
      recorded().push_back(wParam);
      return 0;
    }
    if (message == WAIT_AGAIN) {
      workerWait(static_cast<unsigned>(wParam));
      recorded().push_back(0);
      return 0;
    }
    if (message == QUIT_DURING_WAIT) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

TEST_F(RecordingWindow, TimerWaitDispatchesWhatArrivesAndReturnsTrue) {
  PostMessageW(window_, RECORD_MESSAGE, 1, 0);
  PostMessageW(window_, RECORD_MESSAGE, 2, 0);
  EXPECT_TRUE(timerWait(20));
  EXPECT_EQ(recorded(), (std::vector<WPARAM>{1, 2}));
}

TEST_F(RecordingWindow, WorkerWaitLastsItsTimeWhileMessagesAreHandled) {
  PostMessageW(window_, RECORD_MESSAGE, 7, 0);
  const ULONGLONG start = GetTickCount64();
  workerWait(300);
  EXPECT_GE(GetTickCount64() - start, 250u);  // the waker ends it, not the first message
  EXPECT_EQ(recorded(), std::vector<WPARAM>{7});
}

TEST_F(RecordingWindow, WorkerWaitEndsOnQuitAndLeavesItQueued) {
  PostMessageW(window_, QUIT_DURING_WAIT, 0, 0);
  const ULONGLONG start = GetTickCount64();
  workerWait(5000);
  EXPECT_LT(GetTickCount64() - start, 4000u);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(RecordingWindow, AWaitNestedInsideAnotherLetsBothEnd) {
  // A handler that waits again inside a wait (an F9 press during the F9 wait) outlasts the outer
  // wait and takes its wake message off the queue; the outer wait must still end.
  PostMessageW(window_, WAIT_AGAIN, 400, 0);
  const ULONGLONG start = GetTickCount64();
  workerWait(100);
  EXPECT_EQ(recorded(), std::vector<WPARAM>{0});
  EXPECT_LT(GetTickCount64() - start, 3000u);
}

}  // namespace
}  // namespace zorvi
