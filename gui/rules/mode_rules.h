#pragma once
#include <cstdint>
#include <vector>

#include "platform/cpu_features.h"

// Which controls each mode enables, and which instruction sets the precision
// and the processor allow. Plain functions: the dialog applies their answers.

inline constexpr int kModeBenchmark = 0;
inline constexpr int kModeTrain = 1;
inline constexpr int kModeGenerate = 2;
inline constexpr int kModeCount = 3;

struct ControlEnabling {
  int id;
  bool enabled;
};

// The mode-dependent controls with their state in mode `modeIndex`; empty for
// no selection (-1) or any other index, which leaves the controls as they are.
std::vector<ControlEnabling> modeEnabling(int modeIndex);

// Every control whose state depends on the mode.
std::vector<int> modeDependentControls();

struct PrecisionRuleOutcome {
  bool selectX87;  // replace the selected instruction set by x87
  bool nnvec2Enabled;
  bool sseEnabled;
};

// Double precision runs only on the x87 build; single precision offers each
// vector build the processor can run: the pair build always (it computes its
// pairs without the pair instructions), SSE where the processor has it. x87
// is always offered.
PrecisionRuleOutcome precisionRule(bool doubleSelected, std::uint32_t cpuFeatures);
