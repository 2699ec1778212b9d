#pragma once

namespace engine {

// Whether the processor runs the 256-bit lane kernels; asked at run time, so
// one library serves processors with and without AVX2.
inline bool haveAvx2() { return __builtin_cpu_supports("avx2"); }

}  // namespace engine
