#pragma once
// The naming of the running Windows, from the facts the system reports (see OsVersionNaming.h).
// No shared state: any thread.

#include <string>

#include "profile/OsVersionNaming.h"

namespace zorvi {

// The version record (GetVersionExA), the true version and build (RtlGetNtVersionNumbers from
// ntdll, looked up at run time), WOW64, the processor architecture, SM_SERVERR2, the CSDVersion and
// CurrentBuild registry values and the product type (RtlGetProductInfo).
OsVersionFacts readOsVersionFacts();

// The name of the running Windows with the pieces the switches ask for, for example
// "Windows 10  (Build:19045)" with edition and build. Hands back the true major and minor version;
// when the version record cannot be read the text is empty and the out-values are left alone.
std::string describeOsVersion(bool withEdition, bool withBitness, bool withServicePack, bool withBuild, unsigned& major,
                              unsigned& minor);

}  // namespace zorvi
