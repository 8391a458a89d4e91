#pragma once
// GBK to UTF-16 with code page 936, as the export's workbook needs its texts.

#include <string>
#include <string_view>

namespace zorvi {

std::u16string utf16FromGbk(std::string_view gbk);

}  // namespace zorvi
