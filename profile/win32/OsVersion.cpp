#include "profile/win32/OsVersion.h"

#include <windows.h>

#include <string_view>

#include "protocol/TextPrimitives.h"
#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

using RtlGetNtVersionNumbersFunction = void(WINAPI*)(DWORD* major, DWORD* minor, DWORD* build);
using RtlGetProductInfoFunction = BOOLEAN(WINAPI*)(DWORD osMajor, DWORD osMinor, DWORD servicePackMajor,
                                                   DWORD servicePackMinor, DWORD* productType);

constexpr wchar_t CURRENT_VERSION_KEY[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// A 64-bit build runs only on 64-bit Windows, where it is no WOW64 process; it reports the same
// bitness as the 32-bit build does on that machine.
constexpr bool RUNS_AS_64_BIT_PROCESS = sizeof(void*) == 8;

template <typename Function>
Function ntdllFunction(const char* name) {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) {
    return nullptr;
  }
  // Through the generic function type, which converts to any other without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name)));
}

// A string value under CurrentVersion; expandable strings are expanded; missing or not a string
// reads as empty text.
std::string registryText(const wchar_t* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CURRENT_VERSION_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return {};
  }
  DWORD type = 0;
  DWORD bytes = 0;
  std::wstring value;
  if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    value.resize(bytes / sizeof(wchar_t) + 1);
    DWORD readBytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &readBytes) !=
        ERROR_SUCCESS) {
      value.clear();
    }
    value.resize(std::wstring_view(value.c_str()).size());  // the stored text may lack its zero
  }
  RegCloseKey(key);
  if (type == REG_EXPAND_SZ && !value.empty()) {
    const DWORD needed = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
    std::wstring expanded(needed, L'\0');
    if (needed != 0 && ExpandEnvironmentStringsW(value.c_str(), expanded.data(), needed) != 0) {
      value = expanded.c_str();
    }
  }
  return gbkFromWide(value);
}

}  // namespace

OsVersionFacts readOsVersionFacts() {
  OsVersionFacts facts;
  OSVERSIONINFOEXA record{};
  record.dwOSVersionInfoSize = sizeof record;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record))) {
    return facts;
  }
  facts.versionRecordRead = true;
  facts.major = record.dwMajorVersion;
  facts.minor = record.dwMinorVersion;
  facts.servicePack = std::string(textBeforeZero(std::string_view(record.szCSDVersion, sizeof record.szCSDVersion)));
  facts.suiteMask = record.wSuiteMask;
  facts.productType = record.wProductType;

  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  facts.processorArchitecture = system.wProcessorArchitecture;
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  facts.wow64 = wow64 || RUNS_AS_64_BIT_PROCESS;

  // The true version, whatever compatibility mode the version record was shaped by.
  if (const auto trueVersion = ntdllFunction<RtlGetNtVersionNumbersFunction>("RtlGetNtVersionNumbers")) {
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    trueVersion(&major, &minor, &build);
    facts.major = major;
    facts.minor = minor;
    facts.buildValue = build;
  }
  facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
  facts.registryServicePack = registryText(L"CSDVersion");
  facts.registryCurrentBuild = registryText(L"CurrentBuild");
  if (const auto productInfo = ntdllFunction<RtlGetProductInfoFunction>("RtlGetProductInfo")) {
    DWORD productType = 0;
    if (productInfo(facts.major, facts.minor, 0, 0, &productType)) {
      facts.productInfo = productType;
    }
  }
  return facts;
}

std::string describeOsVersion(bool withEdition, bool withBitness, bool withServicePack, bool withBuild, unsigned& major,
                              unsigned& minor) {
  const OsVersionFacts facts = readOsVersionFacts();
  if (!facts.versionRecordRead) {
    return {};
  }
  major = facts.major;
  minor = facts.minor;
  return describeOsVersion(facts, OsVersionSwitches{withEdition, withBitness, withServicePack, withBuild});
}

}  // namespace zorvi
