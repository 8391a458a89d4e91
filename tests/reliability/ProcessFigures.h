#pragma once
// Figures of this process that the fault tests report: memory as the kernel counts it and open
// descriptors. Linux only (read from /proc/self).

#include <cstddef>

namespace zorvi::test {

// Resident set size now, and its peak since the process started or since resetPeakResident().
std::size_t residentKiB();
std::size_t peakResidentKiB();
// Starts a new peak from the current size (where the kernel allows it; else the peak stays).
void resetPeakResident();

// Descriptors open in this process: sockets, pipes, files.
std::size_t openDescriptors();

}  // namespace zorvi::test
