#pragma once
#include <strings.h>

#include <cstdint>

namespace engine {

// The kernel sets a run can take. Every x86-64 processor has SSE2; the
// 256-bit lane kernels need AVX2. One library serves both: the set is chosen
// once when a run starts and followed by every pass of it.
enum class InstructionSet : std::uint8_t { kSse2, kAvx2 };

inline const char* instructionSetName(InstructionSet set) {
  return set == InstructionSet::kAvx2 ? "avx2" : "sse2";
}

inline bool processorHas(InstructionSet set) {
  return set == InstructionSet::kSse2 || __builtin_cpu_supports("avx2");
}

inline InstructionSet bestInstructionSet() {
  return processorHas(InstructionSet::kAvx2) ? InstructionSet::kAvx2 : InstructionSet::kSse2;
}

// The environment variable that lowers the choice, as numerical libraries
// let a user pin a code path (to compare results, or to work around a
// processor fault).
inline constexpr const char* kInstructionSetVariable = "VANTIRO_ISA";

enum class InstructionSetChoice { kChosen, kUnknownName, kMissingOnProcessor };

// The set a run takes: the best the processor has, or the one `requested`
// names (case does not matter; null or empty asks for the best). A name
// that is no set, or a set the processor lacks, is refused rather than
// quietly replaced: the user asked for that path and must not get another.
inline InstructionSetChoice chooseInstructionSet(const char* requested, InstructionSet best,
                                                 InstructionSet* chosen) {
  *chosen = best;
  if (requested == nullptr || *requested == '\0') return InstructionSetChoice::kChosen;
  InstructionSet named;
  if (strcasecmp(requested, "sse2") == 0) {
    named = InstructionSet::kSse2;
  } else if (strcasecmp(requested, "avx2") == 0) {
    named = InstructionSet::kAvx2;
  } else {
    return InstructionSetChoice::kUnknownName;
  }
  if (named > best) return InstructionSetChoice::kMissingOnProcessor;
  *chosen = named;
  return InstructionSetChoice::kChosen;
}

}  // namespace engine
