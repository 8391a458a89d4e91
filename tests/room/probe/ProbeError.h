// The one failure type of the probe: what went wrong, in words a test log can show. The command
// dispatcher turns it into an "error" line and a non-zero exit code.
#pragma once

#include <stdexcept>
#include <string>

namespace zorvi::room {

class ProbeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace zorvi::room
