#include "profile/posix/PosixConsoleHost.h"

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

extern char** environ;

namespace zorvi {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&&) = delete;
  ~FileDescriptor() { reset(); }
  int get() const { return fd_; }
  void reset() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }

 private:
  int fd_;
};

class PosixConsoleChild final : public ConsoleChild {
 public:
  PosixConsoleChild(pid_t pid, FileDescriptor readEnd) : pid_(pid), readEnd_(std::move(readEnd)) {}
  PosixConsoleChild(const PosixConsoleChild&) = delete;
  PosixConsoleChild& operator=(const PosixConsoleChild&) = delete;
  ~PosixConsoleChild() override {
    if (!reaped_) {
      end();
    }
  }

  std::size_t bytesWaiting() override {
    int waiting = 0;
    if (readEnd_.get() < 0 || ::ioctl(readEnd_.get(), FIONREAD, &waiting) != 0 || waiting < 0) {
      return 0;
    }
    return static_cast<std::size_t>(waiting);
  }

  std::size_t read(std::span<char> buffer) override {
    const ssize_t got = ::read(readEnd_.get(), buffer.data(), buffer.size());
    return got > 0 ? static_cast<std::size_t>(got) : 0;
  }

  bool hasEnded() override {
    if (!reaped_ && ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      reaped_ = true;
    }
    return reaped_;
  }

  void end() override {
    if (reaped_) {
      return;
    }
    ::kill(-pid_, SIGKILL);  // the whole process group the command started
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
  }

 private:
  pid_t pid_;
  FileDescriptor readEnd_;
  bool reaped_ = false;
};

// A command that could not start: it has ended and wrote nothing.
class NeverStartedChild final : public ConsoleChild {
 public:
  std::size_t bytesWaiting() override { return 0; }
  std::size_t read(std::span<char>) override { return 0; }
  bool hasEnded() override { return true; }
  void end() override {}
};

class SpawnSettings {
 public:
  SpawnSettings() {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawnattr_init(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;
  ~SpawnSettings() {
    ::posix_spawnattr_destroy(&attributes_);
    ::posix_spawn_file_actions_destroy(&actions_);
  }
  posix_spawn_file_actions_t* actions() { return &actions_; }
  posix_spawnattr_t* attributes() { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

class IconvHandle {
 public:
  IconvHandle() : handle_(::iconv_open("GBK", "UTF-16LE")) {}
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  ~IconvHandle() {
    if (valid()) {
      ::iconv_close(handle_);
    }
  }
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

std::unique_ptr<ConsoleChild> PosixConsoleHost::start(std::string_view command) {
  int ends[2];
  // Close-on-exec: a command started beside this one must not hold this pipe open.
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    return std::make_unique<NeverStartedChild>();
  }
  FileDescriptor readEnd(ends[0]);
  FileDescriptor writeEnd(ends[1]);

  SpawnSettings settings;
  ::posix_spawn_file_actions_addopen(settings.actions(), 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(settings.actions(), writeEnd.get(), 1);
  ::posix_spawn_file_actions_adddup2(settings.actions(), writeEnd.get(), 2);
  ::posix_spawnattr_setflags(settings.attributes(), POSIX_SPAWN_SETPGROUP);
  ::posix_spawnattr_setpgroup(settings.attributes(), 0);

  std::string commandText(command);
  char shell[] = "/bin/sh";
  char option[] = "-c";
  char* arguments[] = {shell, option, commandText.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawn(&pid, shell, settings.actions(), settings.attributes(), arguments, environ) != 0) {
    return std::make_unique<NeverStartedChild>();
  }
  writeEnd.reset();
  return std::make_unique<PosixConsoleChild>(pid, std::move(readEnd));
}

void PosixConsoleHost::pause() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

std::chrono::steady_clock::time_point PosixConsoleHost::now() { return std::chrono::steady_clock::now(); }

std::string PosixConsoleHost::gbkFromUtf16(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  IconvHandle converter;
  if (!converter.valid()) {
    return {};
  }
  std::string gbk;
  char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char out[256];
    char* outAt = out;
    std::size_t outLeft = sizeof out;
    const std::size_t result = ::iconv(converter.get(), &in, &inLeft, &outAt, &outLeft);
    gbk.append(out, static_cast<std::size_t>(outAt - out));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A character GBK lacks, or half a surrogate pair: one "?" for its code unit, as Windows does.
      gbk.push_back('?');
      const std::size_t skipped = inLeft < 2 ? inLeft : 2;
      in += skipped;
      inLeft -= skipped;
    }
  }
  return gbk;
}

}  // namespace zorvi
