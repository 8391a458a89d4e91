#include "console/win32/GbkDecoder.h"

#include "protocol/win32/WideText.h"

namespace zorvi {

std::u16string utf16FromGbk(std::string_view gbk) {
  const std::wstring wide = wideFromGbk(gbk);  // wchar_t holds UTF-16 units on Windows
  return std::u16string(wide.begin(), wide.end());
}

}  // namespace zorvi
