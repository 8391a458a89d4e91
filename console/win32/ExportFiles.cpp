#include "console/win32/ExportFiles.h"

#include <windows.h>

#include "console/win32/FileWriting.h"
#include "protocol/win32/WideText.h"

namespace zorvi {

bool Win32ExportFiles::exists(const std::string& path) const {
  return GetFileAttributesW(wideFromGbk(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32ExportFiles::remove(const std::string& path) {
  return DeleteFileW(wideFromGbk(path).c_str()) != 0;
}

bool Win32ExportFiles::writeNew(const std::string& path, std::span<const std::uint8_t> bytes) {
  NewFile file(path, FileCreation::NewOnly);
  if (!file.isOpen()) {
    return false;
  }
  if (!file.write(bytes)) {
    file.discard();
    return false;
  }
  return true;
}

}  // namespace zorvi
