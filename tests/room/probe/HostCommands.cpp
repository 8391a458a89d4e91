// Commands about the machine rather than the window: its own name and addresses as the program
// would see them, and the clipboard.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <string>

#include "Commands.h"
#include "JsonLine.h"
#include "Polling.h"
#include "ProbeError.h"

namespace zorvi::room {
namespace {

constexpr double CLIPBOARD_WAIT_SECONDS = 2.0;

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
      throw ProbeError("WSAStartup failed");
    }
  }
  ~WinsockSession() { WSACleanup(); }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
};

class ClipboardSession {
 public:
  ClipboardSession() {
    if (!pollFor(CLIPBOARD_WAIT_SECONDS, [] { return OpenClipboard(nullptr) != FALSE; })) {
      throw ProbeError("the clipboard stays busy");
    }
  }
  ~ClipboardSession() { CloseClipboard(); }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
};

std::wstring dotted(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return wideFromUtf8(text);
}

std::vector<std::wstring> byGetHostByName(const char* name) {
  std::vector<std::wstring> addresses;
  const hostent* host = gethostbyname(name);
  if (host == nullptr || host->h_addrtype != AF_INET) {
    return addresses;
  }
  for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
    in_addr address{};
    std::memcpy(&address, *entry, sizeof address);
    addresses.push_back(dotted(address));
  }
  return addresses;
}

std::vector<std::wstring> byGetAddrInfo(const char* name) {
  std::vector<std::wstring> addresses;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* results = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &results) != 0) {
    return addresses;
  }
  for (const addrinfo* entry = results; entry != nullptr; entry = entry->ai_next) {
    addresses.push_back(dotted(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr));
  }
  freeaddrinfo(results);
  return addresses;
}

std::string hexOf(const char* bytes) {
  static constexpr char DIGITS[] = "0123456789abcdef";
  std::string hex;
  for (const char* byte = bytes; *byte != '\0'; ++byte) {
    const auto value = static_cast<unsigned char>(*byte);
    hex += DIGITS[value >> 4];
    hex += DIGITS[value & 0x0F];
  }
  return hex;
}

}  // namespace

int netCommand(const Arguments& args) {
  if (!args.empty()) {
    return EXIT_USAGE;
  }
  WinsockSession winsock;
  char name[256] = {};
  if (gethostname(name, sizeof name) != 0) {
    throw ProbeError("gethostname failed");
  }
  JsonObject line;
  line.utf8("kind", "net")
      .utf8("hostname", name)
      .texts("gethostbyname", byGetHostByName(name))
      .texts("getaddrinfo", byGetAddrInfo(name));
  printLine(line);
  return EXIT_DONE;
}

int clipboardCommand(const Arguments& args) {
  if (!args.empty()) {
    return EXIT_USAGE;
  }
  ClipboardSession clipboard;
  JsonObject line;
  line.utf8("kind", "clipboard");
  if (HANDLE wide = GetClipboardData(CF_UNICODETEXT); wide != nullptr) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(wide)); text != nullptr) {
      line.text("unicode", text);
      GlobalUnlock(wide);
    }
  }
  // The narrow form as raw bytes: the program puts GBK there, which JSON cannot carry as text.
  if (HANDLE narrow = GetClipboardData(CF_TEXT); narrow != nullptr) {
    if (const auto* text = static_cast<const char*>(GlobalLock(narrow)); text != nullptr) {
      line.utf8("text_hex", hexOf(text));
      GlobalUnlock(narrow);
    }
  }
  printLine(line);
  return EXIT_DONE;
}

}  // namespace zorvi::room
