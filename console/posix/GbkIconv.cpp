#include "console/posix/GbkIconv.h"

#include <iconv.h>

#include <memory>
#include <stdexcept>

namespace zorvi {
namespace {

constexpr char16_t REPLACEMENT_CHARACTER = u'\uFFFD';

struct IconvCloser {
  void operator()(iconv_t handle) const { iconv_close(handle); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle openConverter() {
  iconv_t handle = iconv_open("UTF-16LE", "CP936");
  if (handle == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error("iconv has no CP936 converter");
  }
  return IconvHandle(handle);
}

}  // namespace

std::u16string utf16FromGbkIconv(std::string_view gbk) {
  // Opening a converter costs far more than converting one cell: keep one per thread.
  thread_local const IconvHandle converter = openConverter();
  iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  std::u16string result;
  std::string input(gbk);
  char* in = input.data();
  std::size_t inLeft = input.size();
  std::u16string buffer(input.size() + 1, u'\0');  // never more UTF-16 units than bytes
  while (inLeft > 0) {
    char* out = reinterpret_cast<char*>(buffer.data());
    std::size_t outLeft = buffer.size() * sizeof(char16_t);
    const std::size_t converted = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
    result.append(buffer.data(), (buffer.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t));
    // The buffer always has room, so a stop means an unreadable or truncated sequence.
    if (converted == static_cast<std::size_t>(-1)) {
      result.push_back(REPLACEMENT_CHARACTER);
      ++in;
      --inLeft;
    }
  }
  return result;
}

}  // namespace zorvi
