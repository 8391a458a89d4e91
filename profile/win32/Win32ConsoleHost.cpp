#include "profile/win32/Win32ConsoleHost.h"

#include <windows.h>

#include "input/win32/MessageWaits.h"
#include "profile/win32/UniqueHandle.h"
#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

class Win32ConsoleChild final : public ConsoleChild {
 public:
  Win32ConsoleChild(UniqueHandle process, UniqueHandle readEnd, UniqueHandle job)
      : process_(std::move(process)), readEnd_(std::move(readEnd)), job_(std::move(job)) {}

  std::size_t bytesWaiting() override {
    DWORD waiting = 0;
    if (!readEnd_ || !PeekNamedPipe(readEnd_.get(), nullptr, 0, nullptr, &waiting, nullptr)) {
      return 0;  // a failed look must not leave a stale count for a read that would then block
    }
    return waiting;
  }

  std::size_t read(std::span<char> buffer) override {
    DWORD got = 0;
    if (!ReadFile(readEnd_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return 0;
    }
    return got;
  }

  bool hasEnded() override {
    DWORD exitCode = 0;  // a child that never started, or a failed query, counts as ended
    GetExitCodeProcess(process_.get(), &exitCode);
    if (exitCode != STILL_ACTIVE) {
      return true;
    }
    // A command may really end with the code 259; the process handle tells for sure.
    return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
  }

  void end() override {
    if (!job_ || !TerminateJobObject(job_.get(), 1)) {
      TerminateProcess(process_.get(), 1);
    }
    WaitForSingleObject(process_.get(), 1000);
  }

 private:
  UniqueHandle process_;
  UniqueHandle readEnd_;
  UniqueHandle job_;  // closing it ends whatever the command left running
};

bool ntFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
  const BOOL read = GetVersionExA(&version);
  return read && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

UniqueHandle jobThatEndsItsProcesses() {
  UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job && !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    job.reset();
  }
  return job;
}

}  // namespace

std::unique_ptr<ConsoleChild> Win32ConsoleHost::start(std::string_view command) {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof inheritable;
  inheritable.bInheritHandle = TRUE;
  HANDLE readHandle = nullptr;
  HANDLE writeHandle = nullptr;
  if (!CreatePipe(&readHandle, &writeHandle, &inheritable, 0)) {
    readHandle = nullptr;  // the command still runs, without output handles
    writeHandle = nullptr;
  }
  UniqueHandle readEnd(readHandle);
  UniqueHandle writeEnd(writeHandle);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nullptr;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();

  std::string commandLine = interpreterCommandLine(ntFamily(), command);
  UniqueHandle job = jobThatEndsItsProcesses();
  PROCESS_INFORMATION started{};
  // Suspended until it is in the job, so nothing it starts can escape the job.
  UniqueHandle process;
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                     &started)) {
    process = UniqueHandle(started.hProcess);
    const UniqueHandle thread(started.hThread);
    if (job && !AssignProcessToJobObject(job.get(), process.get())) {
      job.reset();  // already in a job that allows no other (before Windows 8): end it alone
    }
    ResumeThread(thread.get());
  }
  writeEnd.reset();
  return std::make_unique<Win32ConsoleChild>(std::move(process), std::move(readEnd), std::move(job));
}

void Win32ConsoleHost::pause() {
  if (GetInputState()) {
    dispatchWaitingMessages();
  }
  timerWait(1);
}

std::chrono::steady_clock::time_point Win32ConsoleHost::now() { return std::chrono::steady_clock::now(); }

std::string Win32ConsoleHost::gbkFromUtf16(std::u16string_view text) {
  return gbkFromWide(std::wstring(text.begin(), text.end()));
}

std::string captureConsoleOutput(std::string_view command, std::chrono::milliseconds bound) {
  Win32ConsoleHost host;
  return captureConsoleOutput(host, command, bound);
}

}  // namespace zorvi
