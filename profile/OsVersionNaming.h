#pragma once
// Naming of the running Windows: a pure function over the facts the system reports, so that every
// row of the naming table can be checked without the system that would produce it.

#include <cstdint>
#include <string>

namespace zorvi {

inline constexpr std::uint8_t VER_NT_WORKSTATION_TYPE = 1;
inline constexpr std::uint16_t SUITE_ENTERPRISE = 0x0002;
inline constexpr std::uint16_t SUITE_DATACENTER = 0x0080;
inline constexpr std::uint16_t SUITE_PERSONAL = 0x0200;
inline constexpr std::uint16_t SUITE_STORAGE_SERVER = 0x2000;
inline constexpr std::uint16_t SUITE_WH_SERVER = 0x8000;
inline constexpr std::uint16_t ARCHITECTURE_AMD64 = 9;

// Everything the naming reads, as the system reported it.
struct OsVersionFacts {
  bool versionRecordRead = false;  // the version record could be read at all
  std::uint32_t major = 0;         // the true version, whatever compatibility mode applies
  std::uint32_t minor = 0;
  std::uint32_t buildValue = 0;  // as reported: the build in the low 16 bits, flags above
  std::string servicePack;       // the version record's service-pack text
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;  // 1 is a workstation; anything else counts as a server
  bool wow64 = false;            // a 64-bit Windows runs this program
  std::uint16_t processorArchitecture = 0;
  bool serverR2 = false;             // the system metric that marks Windows Server 2003 R2
  std::string registryServicePack;   // CurrentVersion\CSDVersion, empty when missing
  std::string registryCurrentBuild;  // CurrentVersion\CurrentBuild, empty when missing
  std::uint32_t productInfo = 0;     // the product type the system reports for its version
};

struct OsVersionSwitches {
  bool withEdition = false;
  bool withBitness = false;
  bool withServicePack = false;
  bool withBuild = false;
};

// The name of the system, then optionally its edition, bitness and a parenthesised tail of service
// pack and build, for example "Windows 10  (Build:19045)". Empty when the version record could not
// be read. Builds read as unsigned 16-bit numbers; version 10.0 workstations from build 22000 are
// "Windows 11" and 10.0 servers are named by their build.
std::string describeOsVersion(const OsVersionFacts& facts, const OsVersionSwitches& switches);

}  // namespace zorvi
