#pragma once
// GBK to UTF-16 for tests, through the platform's real converter (iconv's CP936 on Linux,
// MultiByteToWideChar(936) under Wine).

#include <string>
#include <string_view>

namespace zorvi::test {

std::u16string decodeGbk(std::string_view gbk);

}  // namespace zorvi::test
