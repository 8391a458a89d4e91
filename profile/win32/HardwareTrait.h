#pragma once
// Hardware traits read from WMI through the COM script control. Each call creates the control on
// the calling thread and releases it before returning; never fails (empty text instead).

#include <string>
#include <vector>

namespace zorvi {

// The trait for `index`: 0 disk serial number, 1 processor id, 2 MAC address, 3 sound device,
// 4 video controller, 5 BIOS name ("Default System BIOS" under Wine). Trimmed of ASCII and
// full-width spaces. Outside 0 to 5: empty text, and no object is created.
std::string queryHardwareTrait(int index);

// Win32_BIOS.SerialNumber, for machines without "wmic".
std::string queryWmiBiosSerial();

// Win32_PhysicalMemory.Capacity of every module, in bytes as decimal text, for machines without "wmic".
std::vector<std::string> queryWmiMemoryCapacities();

}  // namespace zorvi
