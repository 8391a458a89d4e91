#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "profile/LoginName.h"

namespace zorvi {
namespace {

// GetUserNameA as Windows documents it: the name and its zero byte when they fit in `*size` bytes,
// otherwise failure with the needed size written back.
class UserNameCall {
 public:
  explicit UserNameCall(std::string name) : name_(std::move(name)) {}
  bool operator()(char* buffer, std::uint32_t* size) {
    offeredSize = *size;
    if (name_.size() + 1 > *size) {
      *size = static_cast<std::uint32_t>(name_.size() + 1);
      return false;
    }
    std::memcpy(buffer, name_.c_str(), name_.size() + 1);
    *size = static_cast<std::uint32_t>(name_.size() + 1);
    return true;
  }
  std::uint32_t offeredSize = 0;

 private:
  std::string name_;
};

TEST(LoginName, NamesUpTo49BytesFitTheBuffer) {
  for (const std::size_t length : {std::size_t{1}, std::size_t{5}, std::size_t{49}}) {
    const std::string name(length, 'u');
    UserNameCall call(name);
    EXPECT_EQ(loginNameThrough(std::ref(call)), name) << length;
    EXPECT_EQ(call.offeredSize, 50u);
  }
  UserNameCall chinese("管理员");
  EXPECT_EQ(loginNameThrough(std::ref(chinese)), "管理员");
}

TEST(LoginName, LongerNamesGiveEmptyText) {
  for (const std::size_t length : {std::size_t{50}, std::size_t{51}, std::size_t{256}}) {
    EXPECT_EQ(loginNameThrough(UserNameCall(std::string(length, 'u'))), "") << length;
  }
}

TEST(LoginName, FailedCallGivesEmptyTextWhateverTheBufferHolds) {
  EXPECT_EQ(loginNameThrough([](char* buffer, std::uint32_t*) {
              std::memcpy(buffer, "partial", 8);
              return false;
            }),
            "");
}

TEST(LoginName, TextEndsAtTheFirstZeroByte) {
  // The buffer starts as spaces: what the call leaves after the zero byte is not part of the name.
  EXPECT_EQ(loginNameThrough([](char* buffer, std::uint32_t*) {
              std::memcpy(buffer, "ab\0cd", 5);
              return true;
            }),
            "ab");
}

}  // namespace
}  // namespace zorvi
