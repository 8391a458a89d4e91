#pragma once
// GBK <-> UTF-16 at the Windows boundary. The program's texts are GBK bytes; everything shown on
// screen or put on the clipboard goes through the W API, converted explicitly with code page 936
// so the window reads the same on a Windows of any display language.

#include <string>
#include <string_view>

namespace zorvi {

inline constexpr unsigned GBK_CODE_PAGE = 936;

std::wstring wideFromGbk(std::string_view gbk);
std::string gbkFromWide(std::wstring_view wide);

}  // namespace zorvi
