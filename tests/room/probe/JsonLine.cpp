#include "JsonLine.h"

#include <windows.h>

#include <cstdio>

namespace zorvi::room {
namespace {

std::string quoted(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(byte));
          out += escape;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

}  // namespace

std::string utf8FromWide(std::wstring_view text) {
  if (text.empty()) {
    return {};
  }
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring wideFromUtf8(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), size);
  return out;
}

void JsonObject::addKey(std::string_view key) {
  if (!body_.empty()) {
    body_ += ',';
  }
  body_ += quoted(key);
  body_ += ':';
}

JsonObject& JsonObject::text(std::string_view key, std::wstring_view value) {
  addKey(key);
  body_ += quoted(utf8FromWide(value));
  return *this;
}

JsonObject& JsonObject::utf8(std::string_view key, std::string_view value) {
  addKey(key);
  body_ += quoted(value);
  return *this;
}

JsonObject& JsonObject::number(std::string_view key, long long value) {
  addKey(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::flag(std::string_view key, bool value) {
  addKey(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::texts(std::string_view key, const std::vector<std::wstring>& values) {
  addKey(key);
  body_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    body_ += (i == 0 ? "" : ",") + quoted(utf8FromWide(values[i]));
  }
  body_ += ']';
  return *this;
}

JsonObject& JsonObject::numbers(std::string_view key, const std::vector<long long>& values) {
  addKey(key);
  body_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    body_ += (i == 0 ? "" : ",") + std::to_string(values[i]);
  }
  body_ += ']';
  return *this;
}

JsonObject& JsonObject::objects(std::string_view key, const std::vector<std::string>& values) {
  addKey(key);
  body_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    body_ += (i == 0 ? "" : ",") + values[i];
  }
  body_ += ']';
  return *this;
}

std::string JsonObject::str() const { return "{" + body_ + "}"; }

void printLine(const JsonObject& object) {
  const std::string line = object.str() + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

}  // namespace zorvi::room
