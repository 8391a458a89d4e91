#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile/ProfileRules.h"
#include "profile/win32/UniqueHandle.h"
#include "profile/win32/Win32ConsoleHost.h"

namespace zorvi {
namespace {

using namespace std::chrono_literals;

TEST(Win32ConsoleCapture, EchoGivesItsText) { EXPECT_EQ(captureConsoleOutput("echo hello"), "hello\r\n"); }

TEST(Win32ConsoleCapture, StandardErrorIsMergedInWritingOrder) {
  EXPECT_EQ(captureConsoleOutput("echo out& echo err 1>&2& echo out2"), "out\r\nerr \r\nout2\r\n");
}

TEST(Win32ConsoleCapture, CommandThatPrintsNothingGivesEmptyText) { EXPECT_EQ(captureConsoleOutput("rem"), ""); }

TEST(Win32ConsoleCapture, MissingToolGivesTheInterpretersComplaint) {
  EXPECT_NE(captureConsoleOutput("no-such-tool-zorvi -q").find("no-such-tool-zorvi"), std::string::npos);
}

TEST(Win32ConsoleCapture, CommandsRunTogetherAndKeepTheirOrder) {
  Win32ConsoleHost host;
  const std::string commands[] = {"echo one", "echo two 1>&2", "echo three"};
  EXPECT_EQ(captureConsoleOutputs(host, commands), (std::vector<std::string>{"one\r\n", "two \r\n", "three\r\n"}));
}

std::size_t runningProcessesNamed(const wchar_t* exeName) {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  std::size_t count = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    count += lstrcmpiW(entry.szExeFile, exeName) == 0 ? 1 : 0;
  }
  return count;
}

TEST(Win32ConsoleCapture, CommandOutlivingTheBoundIsEndedWithWhatItStarted) {
  ASSERT_EQ(runningProcessesNamed(L"ping.exe"), 0u);
  // ping buffers its own output until it ends, so the interpreter says something first.
  const std::string output = captureConsoleOutput("echo started& ping -n 30 127.0.0.1& echo finished", 2500ms);
  EXPECT_EQ(output, "started\r\n");                   // what it wrote before the end is kept
  EXPECT_EQ(runningProcessesNamed(L"ping.exe"), 0u);  // the interpreter's child was ended too
}

TEST(Win32ConsoleCapture, WineWmicUtf16IsDecodedBeforeTheRules) {
  const std::string output = captureConsoleOutput("wmic bios get serialnumber");
  EXPECT_TRUE(wmicPrintsHeading(output, "SerialNumber")) << output;
  EXPECT_EQ(output.find('\0'), std::string::npos);
  EXPECT_EQ(output.find("\xFF\xFE"), std::string::npos);
  EXPECT_FALSE(serialFromWmic(output).empty());
}

// Window messages of the capturing thread are handled while the command runs.
LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Win32ConsoleCapture, WindowMessagesAreDispatchedWhileWaiting) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = countingProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZorviCaptureTestWindow";
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  int handled = 0;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handled));
  PostMessageW(window, WM_APP, 0, 0);
  PostMessageW(window, WM_APP, 0, 0);
  captureConsoleOutput("ping -n 2 127.0.0.1");
  EXPECT_EQ(handled, 2);
  DestroyWindow(window);
}

}  // namespace
}  // namespace zorvi
