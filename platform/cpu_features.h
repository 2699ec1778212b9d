#pragma once
// What the processor offers, asked once when the dialog starts: the
// precision rule offers only the instruction sets it can run.
#include <cstdint>

// The processor's features as CPUID reports them.
inline constexpr std::uint32_t kCpuMmx = 1;
inline constexpr std::uint32_t kCpuSse = 2;
inline constexpr std::uint32_t kCpuSse2 = 4;
inline constexpr std::uint32_t kCpuNnvec2 = 8;
inline constexpr std::uint32_t kCpuMmxExtensions = 16;

// Composes the feature bits from EDX of CPUID function 1 and of function
// 0x80000001 (0 when the processor has no such function).
std::uint32_t composeCpuFeatures(std::uint32_t standardEdx, std::uint32_t extendedEdx);

// Asks the processor; 0 when it cannot be asked.
std::uint32_t detectCpuFeatures();
