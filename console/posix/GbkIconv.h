#pragma once
// GBK to UTF-16 on POSIX hosts, through iconv's code page 936: what native tests and benchmarks use
// where the product calls MultiByteToWideChar(936).

#include <string>
#include <string_view>

namespace zorvi {

// Bytes iconv cannot read become U+FFFD, one per byte, and reading goes on after them.
std::u16string utf16FromGbkIconv(std::string_view gbk);

}  // namespace zorvi
