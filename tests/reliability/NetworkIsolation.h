#pragma once
// Moves this process into a network namespace of its own, holding nothing but a loopback interface
// that is up. Load and fault tests then reach only this process's own endpoints, and a name lookup
// or a connect to any other address fails at once on this machine instead of leaving it.

#include <string>

namespace zorvi::test {

// Call before any thread starts: threads keep the namespace they were started in. Needs root (or
// unprivileged user namespaces). Returns an empty text on success, else why it failed.
std::string isolateNetwork();

// True once isolateNetwork succeeded in this process.
bool networkIsolated();

}  // namespace zorvi::test
