#include "console/ShotNames.h"

#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

constexpr std::string_view TEST_DATA_SUFFIX = "测试数据";
constexpr std::string_view SHOT_EXTENSION = ".png";

// True when the last character of the GBK text is a single-byte backslash.
bool endsWithBackslash(std::string_view text) {
  std::size_t at = 0;
  std::size_t lastCharacter = std::string_view::npos;
  while (at < text.size()) {
    lastCharacter = at;
    at += isGbkLeadByte(text[at]) ? 2 : 1;
  }
  return lastCharacter != std::string_view::npos && text[lastCharacter] == '\\';
}

}  // namespace

std::string testDataFolder(std::string_view desktopDirectory, std::string_view userName) {
  std::string folder(desktopDirectory);
  if (!endsWithBackslash(folder)) {
    folder += '\\';
  }
  folder.append(userName).append(TEST_DATA_SUFFIX);
  return folder;
}

std::string formatShotStamp(std::int64_t seconds) {
  return std::to_string(seconds) + "000";
}

std::string shotStamp() {
  return formatShotStamp(readLocalClock().seconds);
}

std::string shotFilePath(std::string_view folder, std::string_view stamp) {
  std::string path(folder);
  path.append("\\").append(stamp).append(SHOT_EXTENSION);
  return path;
}

}  // namespace zorvi
