#pragma once
// This machine's IPv4 addresses, as the lookup of its own host name gives them.

#include <string>
#include <vector>

namespace zorvi {

// Dotted texts in the order the lookup returns them, without repeats; empty when the host name
// cannot be had or resolves to no IPv4 address. Blocks while the name is looked up.
std::vector<std::string> lookUpLocalIPv4Addresses();

}  // namespace zorvi
