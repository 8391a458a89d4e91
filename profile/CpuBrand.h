#pragma once
// The processor's brand string, as the processor itself reports it.

#include <array>
#include <cstdint>
#include <string>

namespace zorvi {

inline constexpr std::uint32_t CPUID_BRAND_LEAVES[] = {0x80000002u, 0x80000003u, 0x80000004u};

// The brand string in the registers of the three brand leaves (EAX, EBX, ECX, EDX each), every
// register four bytes lowest first: the 48-byte block up to its first zero byte.
std::string brandFromLeaves(const std::array<std::array<std::uint32_t, 4>, 3>& leaves);

// The brand string of the processor running this thread, for example
// "Intel(R) Core(TM) i7-9750H CPU @ 2.60GHz". Any thread; never fails (empty without CPUID).
std::string readCpuBrand();

}  // namespace zorvi
