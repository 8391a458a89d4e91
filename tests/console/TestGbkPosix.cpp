#include "console/posix/GbkIconv.h"
#include "tests/console/TestGbk.h"

namespace zorvi::test {

std::u16string decodeGbk(std::string_view gbk) {
  return utf16FromGbkIconv(gbk);
}

}  // namespace zorvi::test
