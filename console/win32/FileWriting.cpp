#include "console/win32/FileWriting.h"

#include <algorithm>

#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

constexpr std::size_t MAX_WRITE_CHUNK = 1u << 30;  // WriteFile counts in 32 bits

}  // namespace

NewFile::NewFile(const std::string& path, FileCreation creation) : path_(wideFromGbk(path)) {
  const DWORD disposition = creation == FileCreation::ReplaceExisting ? CREATE_ALWAYS : CREATE_NEW;
  handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

NewFile::~NewFile() {
  close();
}

bool NewFile::write(std::span<const std::uint8_t> bytes) {
  if (!isOpen()) {
    return false;
  }
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), MAX_WRITE_CHUNK));
    DWORD written = 0;
    if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes = bytes.subspan(written);
  }
  return true;
}

void NewFile::discard() {
  if (isOpen()) {
    close();
    DeleteFileW(path_.c_str());
  }
}

void NewFile::close() {
  if (isOpen()) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
}

}  // namespace zorvi
