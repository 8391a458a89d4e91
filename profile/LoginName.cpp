#include "profile/LoginName.h"

#include "protocol/TextPrimitives.h"

namespace zorvi {

std::string loginNameThrough(const std::function<bool(char* buffer, std::uint32_t* size)>& getUserName) {
  std::string buffer(LOGIN_NAME_BUFFER_BYTES, ' ');
  std::uint32_t size = LOGIN_NAME_BUFFER_BYTES;
  if (!getUserName(buffer.data(), &size)) {
    return {};
  }
  return std::string(textBeforeZero(buffer));
}

}  // namespace zorvi
