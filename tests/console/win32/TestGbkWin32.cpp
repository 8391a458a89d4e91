#include "console/win32/GbkDecoder.h"
#include "tests/console/TestGbk.h"

namespace zorvi::test {

std::u16string decodeGbk(std::string_view gbk) {
  return utf16FromGbk(gbk);
}

}  // namespace zorvi::test
