#include "input/win32/MessageWaits.h"

#include <windows.h>

#include <string>
#include <system_error>
#include <thread>

namespace zorvi {
namespace {

// The wake mask of the waits: keys, mouse, posted and sent messages, timers, paint and hot keys.
constexpr DWORD WAKE_MASK = 0xFF;
constexpr char WORKER_WAIT_MESSAGE_PREFIX[] = "ZorviSync工作等待";

// Used when no timer or waker thread can be had: wait with a deadline instead, still dispatching.
void dispatchUntil(ULONGLONG deadline, bool stopOnCloseOrQuit) {
  for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    MSG message;
    if (stopOnCloseOrQuit && PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) &&
        (message.message == WM_CLOSE || message.message == WM_QUIT)) {
      return;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), WAKE_MASK);
    dispatchWaitingMessages();
  }
}

// Each wait gets its own message: the sequence number in full-width digits after a fixed prefix.
std::string workerWaitMessageName(unsigned sequence) {
  std::string name = WORKER_WAIT_MESSAGE_PREFIX;
  for (const char digit : std::to_string(sequence)) {
    name.push_back(static_cast<char>(0xA3));
    name.push_back(static_cast<char>(0xB0 + (digit - '0')));
  }
  return name;
}

}  // namespace

void dispatchWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool timerWait(unsigned milliseconds) {
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  if (timer == nullptr) {
    dispatchUntil(GetTickCount64() + milliseconds, false);
    return true;
  }
  LARGE_INTEGER dueTime;
  dueTime.QuadPart = -10000LL * static_cast<LONGLONG>(milliseconds);
  if (!SetWaitableTimer(timer, &dueTime, 0, nullptr, nullptr, FALSE)) {
    CloseHandle(timer);
    dispatchUntil(GetTickCount64() + milliseconds, false);
    return true;
  }
  while (MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, WAKE_MASK) != WAIT_OBJECT_0) {
    dispatchWaitingMessages();
  }
  CloseHandle(timer);
  return true;
}

void workerWait(unsigned milliseconds) {
  static unsigned sequence = 0;  // counted on the GUI thread only
  ++sequence;
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  const UINT wakeMessage = RegisterWindowMessageA(workerWaitMessageName(sequence).c_str());
  if (wakeMessage == 0) {
    dispatchUntil(deadline, true);
    return;
  }
  const DWORD waitingThread = GetCurrentThreadId();
  try {
    std::thread([milliseconds, waitingThread, wakeMessage] {
      Sleep(milliseconds);
      PostThreadMessageA(waitingThread, wakeMessage, 0, 0);
    }).detach();
  } catch (const std::system_error&) {
    dispatchUntil(deadline, true);
    return;
  }

  for (;;) {
    MSG message;
    const bool queued = PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    if (queued && (message.message == wakeMessage || message.message == WM_CLOSE || message.message == WM_QUIT)) {
      return;
    }
    // A wait nested inside this one (a handler that waits again) may have taken this wait's wake
    // message off the queue; the deadline still ends it.
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
      return;
    }
    if (!queued) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), WAKE_MASK);
      continue;
    }
    if (GetMessageA(&message, nullptr, 0, 0) == -1) {
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (message.message == WM_CLOSE || message.message == WM_QUIT) {
      PostThreadMessageA(waitingThread, message.message, 0, 0);
      return;
    }
    if (message.message == wakeMessage) {
      return;
    }
  }
}

}  // namespace zorvi
