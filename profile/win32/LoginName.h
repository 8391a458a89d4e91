#pragma once
// The logged-on user's name. Any thread.

#include <string>

namespace zorvi {

// The name as GBK (code page 936, whatever the system's own code page), read under the 50-byte
// buffer rule of LoginName.h: a name of 50 bytes or more gives empty text, as does a failure.
std::string readLoginName();

}  // namespace zorvi
