#include "profile/win32/LoginName.h"

#include <windows.h>

#include <cstring>
#include <iterator>

#include "profile/LoginName.h"
#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

// GetUserNameA's contract with the conversion done explicitly in code page 936: the bytes the
// program stores and shows are GBK on a Windows of any display language.
bool getUserNameGbk(char* buffer, std::uint32_t* size) {
  wchar_t wide[257];  // UNLEN + 1
  DWORD wideSize = static_cast<DWORD>(std::size(wide));
  if (!GetUserNameW(wide, &wideSize) || wideSize == 0) {
    return false;
  }
  const std::string name = gbkFromWide(std::wstring_view(wide, wideSize - 1));
  if (name.size() + 1 > *size) {
    *size = static_cast<std::uint32_t>(name.size() + 1);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *size = static_cast<std::uint32_t>(name.size() + 1);
  return true;
}

}  // namespace

std::string readLoginName() { return loginNameThrough(getUserNameGbk); }

}  // namespace zorvi
