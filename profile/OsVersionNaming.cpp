#include "profile/OsVersionNaming.h"

#include <string_view>

#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

struct NameAndEdition {
  std::string name;
  std::string_view edition;
};

struct ProductEdition {
  std::uint32_t productType;
  std::string_view edition;
};

// Editions by the product type the system reports, for versions the naming table does not list.
// Every other type has none.
constexpr ProductEdition PRODUCT_EDITIONS[] = {
    {1, "Ultimate Edition"},
    {2, "Home Basic Edition"},
    {3, "Home Premium Edition"},
    {4, "Enterprise Edition"},
    {6, "Business Edition"},
    {7, "Standard"},
    {8, "Datacenter Edition"},
    {9, "Small Business Server"},
    {10, "Enterprise Edition"},
    {11, "Starter Edition"},
    {12, "Datacenter Edition (core installation)"},
    {13, "Standard Edition (core installation)"},
    {14, "Enterprise Edition (core installation)"},
    {15, "Enterprise Edition for Itanium-based Systems"},
    {16, "Business N"},
    {17, "Web Server (full installation)"},
    {18, "HPC Edition"},
    {19, "Windows Storage Server 2008 R2 Essentials"},
    {20, "Storage Server Express"},
    {21, "Storage Server Standard"},
    {22, "Storage Server Workgroup"},
    {23, "Storage Server Enterprise"},
    {25, "Small Business Server Premium Edition"},
    {48, "Professional"},
};

std::string_view productEdition(std::uint32_t productType) {
  for (const ProductEdition& entry : PRODUCT_EDITIONS) {
    if (entry.productType == productType) {
      return entry.edition;
    }
  }
  return {};
}

std::uint32_t buildNumber(const OsVersionFacts& facts) { return facts.buildValue & 0xFFFFu; }

// The build number, or the registry's when the system gave none (text that is no build reads as 0).
std::uint32_t effectiveBuild(const OsVersionFacts& facts) {
  const std::uint32_t build = buildNumber(facts);
  if (build != 0) {
    return build;
  }
  const double registryBuild = readDecimal(facts.registryCurrentBuild);
  return registryBuild >= 0 && registryBuild <= 0xFFFF ? static_cast<std::uint32_t>(registryBuild) : 0;
}

std::string windows10FamilyName(const OsVersionFacts& facts) {
  const std::uint32_t build = effectiveBuild(facts);
  if (facts.productType == VER_NT_WORKSTATION_TYPE) {
    return build >= 22000 ? "Windows 11" : "Windows 10";
  }
  if (build >= 26100) {
    return "Windows Server 2025";
  }
  if (build >= 20348) {
    return "Windows Server 2022";
  }
  if (build >= 17763) {
    return "Windows Server 2019";
  }
  return "Windows Server 2016";
}

std::string version6Name(const OsVersionFacts& facts) {
  const bool workstation = facts.productType == VER_NT_WORKSTATION_TYPE;
  switch (facts.minor) {
    case 0:
      return workstation ? "Windows Vista" : "Windows Server 2008";
    case 1:
      return workstation ? "Windows 7" : "Windows Server 2008 R2";
    case 2:
      return workstation ? "Windows 8" : "Windows Server 2012";
    case 3:
      return workstation ? "Windows 8.1" : "Windows Server 2012 R2";
    default:
      return {};
  }
}

NameAndEdition windows2000(const OsVersionFacts& facts) {
  if (facts.productType == VER_NT_WORKSTATION_TYPE) {
    return {"Windows 2000", "Professional"};
  }
  if (facts.suiteMask & SUITE_DATACENTER) {
    return {"Windows 2000", "Datacenter Server"};
  }
  if (facts.suiteMask & SUITE_ENTERPRISE) {
    return {"Windows 2000", "Advanced Server"};
  }
  return {"Windows 2000", "Server"};
}

std::string version52Name(const OsVersionFacts& facts) {
  if (facts.serverR2) {
    return "Windows Server 2003 R2, ";
  }
  if (facts.suiteMask & SUITE_STORAGE_SERVER) {
    return "Windows Storage Server 2003";
  }
  if (facts.suiteMask & SUITE_WH_SERVER) {
    return "Windows Home Server";
  }
  if (facts.productType == VER_NT_WORKSTATION_TYPE && facts.processorArchitecture == ARCHITECTURE_AMD64) {
    return "Windows XP Professional x64 Edition";
  }
  return "Windows Server 2003, ";
}

NameAndEdition nameAndEdition(const OsVersionFacts& facts) {
  const std::uint32_t major = facts.major;
  const std::uint32_t minor = facts.minor;
  if (major == 10) {
    return {minor == 0 ? windows10FamilyName(facts) : std::string(), {}};
  }
  if (major == 6) {
    return {version6Name(facts), {}};
  }
  if (major == 5 && minor == 0) {
    return windows2000(facts);
  }
  if (major == 5 && minor == 1) {
    return {"Windows XP", (facts.suiteMask & SUITE_PERSONAL) ? "Home Edition" : "Professional"};
  }
  if (major == 5 && minor == 2) {
    return {version52Name(facts), {}};
  }
  if (major == 4 && minor == 10) {
    return {"Windows 98", {}};
  }
  if (major < 6) {
    return {"获取失败，请检查版本:" + std::to_string(major) + "." + std::to_string(minor), {}};
  }
  return {{}, productEdition(facts.productInfo)};
}

}  // namespace

std::string describeOsVersion(const OsVersionFacts& facts, const OsVersionSwitches& switches) {
  if (!facts.versionRecordRead) {
    return {};
  }
  const NameAndEdition chosen = nameAndEdition(facts);
  std::string text = chosen.name;
  if (switches.withEdition) {
    text.append(" ").append(chosen.edition);
  }
  if (switches.withBitness) {
    text.append(facts.wow64 ? " x64" : " x86");
  }

  std::string tail;
  if (switches.withServicePack) {
    const std::string& servicePack = facts.servicePack.empty() ? facts.registryServicePack : facts.servicePack;
    if (servicePack.size() > 2) {
      tail = servicePack;
    }
  }
  if (switches.withBuild) {
    const std::uint32_t build = buildNumber(facts);
    const std::string buildText = build != 0 ? std::to_string(build) : facts.registryCurrentBuild;
    tail.append(tail.empty() ? "Build:" : ",Build:").append(buildText);
  }
  if (!tail.empty()) {
    text.append(" (").append(tail).append(")");
  }
  return text;
}

}  // namespace zorvi
