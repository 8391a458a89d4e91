#pragma once
// The eleven column headings of the client list, in GBK as the list holds them and in UTF-8 as a
// workbook reader gives them back.

#include <string>
#include <vector>

namespace zorvi::test {

inline std::vector<std::string> clientColumnsGbk() {
  return {"IP地址", "端口", "用户名", "SN码", "CPU", "内存", "显卡", "BIOS", "显卡驱动", "VBIOS", "系统版本"};
}

inline std::vector<std::string> clientColumnsUtf8() {
  const char8_t* headings[] = {u8"IP地址", u8"端口", u8"用户名", u8"SN码",     u8"CPU",     u8"内存",
                               u8"显卡",   u8"BIOS", u8"显卡驱动", u8"VBIOS", u8"系统版本"};
  std::vector<std::string> result;
  for (const char8_t* heading : headings) {
    result.emplace_back(reinterpret_cast<const char*>(heading));
  }
  return result;
}

}  // namespace zorvi::test
