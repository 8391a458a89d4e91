#pragma once
// The export's file operations on the Windows file system (GBK paths, code page 936).

#include "console/ExcelExport.h"

namespace zorvi {

class Win32ExportFiles final : public ExportFiles {
 public:
  bool exists(const std::string& path) const override;
  bool remove(const std::string& path) override;
  bool writeNew(const std::string& path, std::span<const std::uint8_t> bytes) override;
};

}  // namespace zorvi
