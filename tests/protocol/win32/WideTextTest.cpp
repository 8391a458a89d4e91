#include "protocol/win32/WideText.h"

#include <gtest/gtest.h>

namespace zorvi {
namespace {

TEST(WideText, ConvertsGbkWithCodePage936WhateverTheSystemLocale) {
  const std::string title = "Zorvi 局域网键鼠同步器";
  EXPECT_EQ(title.size(), 22u);  // GBK: two bytes per Chinese character
  const std::wstring wide = wideFromGbk(title);
  EXPECT_EQ(wide, L"Zorvi \u5C40\u57DF\u7F51\u952E\u9F20\u540C\u6B65\u5668");
  EXPECT_EQ(gbkFromWide(wide), title);
}

TEST(WideText, EmptyAndFullWidthPunctuation) {
  EXPECT_EQ(wideFromGbk(""), L"");
  EXPECT_EQ(gbkFromWide(L""), "");
  EXPECT_EQ(wideFromGbk("【：】"), L"\u3010\uFF1A\u3011");
}

}  // namespace
}  // namespace zorvi
