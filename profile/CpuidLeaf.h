#pragma once
// The CPUID instruction for GCC, Clang and MSVC. Processors without it (not x86) read as all zeros.

#include <array>
#include <cstdint>

#if defined(_MSC_VER) && (defined(_M_IX86) || defined(_M_X64))
#include <intrin.h>
#define ZORVI_HAS_CPUID 1
#elif (defined(__GNUC__) || defined(__clang__)) && (defined(__i386__) || defined(__x86_64__))
#include <cpuid.h>
#define ZORVI_HAS_CPUID 1
#endif

namespace zorvi {

// EAX, EBX, ECX and EDX of one CPUID leaf (sub-leaf 0), asked without checking that the leaf exists.
inline std::array<std::uint32_t, 4> cpuidLeaf(std::uint32_t leaf) {
  std::array<std::uint32_t, 4> registers{};
#if defined(ZORVI_HAS_CPUID) && defined(_MSC_VER)
  int values[4];
  __cpuidex(values, static_cast<int>(leaf), 0);
  for (int i = 0; i < 4; ++i) {
    registers[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(values[i]);
  }
#elif defined(ZORVI_HAS_CPUID)
  __cpuid_count(leaf, 0, registers[0], registers[1], registers[2], registers[3]);
#else
  (void)leaf;
#endif
  return registers;
}

}  // namespace zorvi
