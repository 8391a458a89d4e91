// One JSON object per output line, UTF-8, so that bash (grep) and python (json.loads) read the
// probe's findings without a parser of their own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvi::room {

// UTF-8 form of a UTF-16 text; unpaired surrogates become U+FFFD.
std::string utf8FromWide(std::wstring_view text);
// UTF-16 form of a UTF-8 text.
std::wstring wideFromUtf8(std::string_view text);

// Builds one JSON object. Keys are ASCII literals; values are escaped here.
class JsonObject {
 public:
  JsonObject& text(std::string_view key, std::wstring_view value);
  // `value` is already UTF-8 (ASCII names, messages built from utf8FromWide).
  JsonObject& utf8(std::string_view key, std::string_view value);
  JsonObject& number(std::string_view key, long long value);
  JsonObject& flag(std::string_view key, bool value);
  JsonObject& texts(std::string_view key, const std::vector<std::wstring>& values);
  JsonObject& numbers(std::string_view key, const std::vector<long long>& values);
  // `values` are complete JSON objects (str() of other JsonObjects).
  JsonObject& objects(std::string_view key, const std::vector<std::string>& values);
  std::string str() const;

 private:
  void addKey(std::string_view key);
  std::string body_;
};

// Writes the object and a line feed to standard output and flushes, so a reader polling the
// probe's output sees whole lines only.
void printLine(const JsonObject& object);

}  // namespace zorvi::room
