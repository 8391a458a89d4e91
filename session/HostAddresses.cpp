#include "session/HostAddresses.h"

#include <algorithm>
#include <asio.hpp>

namespace zorvi {

std::vector<std::string> lookUpLocalIPv4Addresses() {
  std::vector<std::string> addresses;
  asio::error_code error;
  const std::string hostName = asio::ip::host_name(error);
  if (error) {
    return addresses;
  }
  asio::io_context context;
  asio::ip::tcp::resolver resolver(context);
  const auto results = resolver.resolve(asio::ip::tcp::v4(), hostName, "", error);
  if (error) {
    return addresses;
  }
  for (const auto& entry : results) {
    std::string address = entry.endpoint().address().to_string();
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
      addresses.push_back(std::move(address));
    }
  }
  return addresses;
}

}  // namespace zorvi
