#include "session/win32/WindowGuiQueue.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "session/LanServer.h"
#include "session/NetworkService.h"
#include "tests/session/LanTestPeers.h"
#include "tests/session/LanTestRecorders.h"

namespace zorvi {
namespace {

constexpr UINT LOOP_LIMIT_MS = 10000;

// A hidden window whose procedure runs the queue on its private message, as the main window's does.
class HiddenWindow {
 public:
  HiddenWindow() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &HiddenWindow::procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = CLASS_NAME;
    RegisterClassW(&windowClass);  // fails harmlessly once the class exists
    handle_ = CreateWindowExW(0, CLASS_NAME, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, instance,
                              nullptr);
    queue_ = std::make_unique<WindowGuiQueue>(handle_);
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(queue_.get()));
  }
  ~HiddenWindow() { DestroyWindow(handle_); }

  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;

  HWND handle() const { return handle_; }
  WindowGuiQueue& queue() { return *queue_; }

 private:
  static constexpr const wchar_t* CLASS_NAME = L"ZorviGuiQueueTestWindow";

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* queue = reinterpret_cast<WindowGuiQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (queue != nullptr && message == queue->message()) {
      queue->runPending();
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND handle_ = nullptr;
  std::unique_ptr<WindowGuiQueue> queue_;
};

// The program's GetMessage loop, with a thread timer so that a lost wake-up fails the test instead
// of hanging it.
bool runMessageLoopUntil(const std::function<bool()>& done) {
  const UINT_PTR limit = SetTimer(nullptr, 0, LOOP_LIMIT_MS, nullptr);
  MSG message;
  while (!done() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == limit) {
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  KillTimer(nullptr, limit);
  return done();
}

// A wait that keeps dispatching the thread's messages, as the program's modal waits do.
void pumpMessagesUntil(const std::function<bool()>& done) {
  const ULONGLONG deadline = GetTickCount64() + LOOP_LIMIT_MS;
  while (!done() && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

TEST(WindowGuiQueue, TasksPostedFromAWorkerRunInTheMessageLoopInOrder) {
  constexpr int TASKS = 5000;
  HiddenWindow window;
  std::vector<int> ran;
  int wrongThread = 0;
  const DWORD guiThread = GetCurrentThreadId();
  std::thread worker([&] {
    for (int task = 0; task < TASKS; ++task) {
      window.queue().post([&, task] {
        ran.push_back(task);
        wrongThread += GetCurrentThreadId() == guiThread ? 0 : 1;
      });
    }
  });
  EXPECT_TRUE(runMessageLoopUntil([&] { return ran.size() == TASKS; }));
  worker.join();
  EXPECT_EQ(wrongThread, 0);
  for (int task = 0; task < static_cast<int>(ran.size()); ++task) {
    ASSERT_EQ(ran[static_cast<std::size_t>(task)], task);
  }
}

TEST(WindowGuiQueue, ATaskThatPumpsMessagesRunsTheLaterTasksInsideItInOrder) {
  HiddenWindow window;
  std::vector<std::string> ran;
  window.queue().post([&] {
    ran.push_back("waiting starts");
    pumpMessagesUntil([&] { return ran.size() == 3; });
    ran.push_back("waiting ends");
  });
  window.queue().post([&] { ran.push_back("second"); });
  window.queue().post([&] { ran.push_back("third"); });
  EXPECT_TRUE(runMessageLoopUntil([&] { return ran.size() == 4; }));
  EXPECT_EQ(ran, (std::vector<std::string>{"waiting starts", "second", "third", "waiting ends"}));
}

TEST(WindowGuiQueue, ServerEventsArriveThroughTheMessageLoop) {
  HiddenWindow window;
  NetworkService network;
  lantest::RecordingServerEvents events;
  LanServer server(network, window.queue(), events);
  ASSERT_TRUE(server.open(0));
  lantest::TestPeer peer = lantest::TestPeer::connectTo(server.port());
  const ClientId id = peer.id();
  peer.write("问候");
  EXPECT_TRUE(runMessageLoopUntil([&] { return events.received[id] == "问候"; }));
  peer.close();
  EXPECT_TRUE(runMessageLoopUntil([&] { return events.log.size() == 3; }));
  EXPECT_EQ(events.log, (std::vector<std::string>{"entered " + id, "data " + id, "left " + id}));
}

}  // namespace
}  // namespace zorvi
