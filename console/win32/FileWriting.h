#pragma once
// A file opened for writing, as the screenshot and the export create them: write access only, not
// shared, sequential writing, closed when the object goes. GBK path, converted with code page 936.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "console/ByteSink.h"

namespace zorvi {

enum class FileCreation {
  ReplaceExisting,  // an existing file of that name is replaced
  NewOnly,          // fails when something of that name exists
};

class NewFile final : public ByteSink {
 public:
  NewFile(const std::string& path, FileCreation creation);
  ~NewFile() override;
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool write(std::span<const std::uint8_t> bytes) override;
  // Closes and deletes the file, for a write that failed half way.
  void discard();

 private:
  void close();

  std::wstring path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace zorvi
