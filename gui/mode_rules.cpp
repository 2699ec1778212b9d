#include "mode_rules.h"

#include <cpuid.h>

#include "control_table.h"

namespace {

// One row per group of controls: enabled in Benchmark, Train, Generate.
struct EnablingRow {
  std::vector<int> ids;
  bool inMode[kModeCount];
};

const std::vector<EnablingRow>& enablingTable() {
  using namespace ctl;
  static const std::vector<EnablingRow> table = {
      {{RateLabel, LearningRate, ToleranceLabel, ToleranceUnit, TargetLabel, TrainToTolerance},
       {false, true, false}},
      {{PointsLabel, PointsToGenerate}, {false, false, true}},
      {{IterationsLabel, Iterations, DataPointsLabel, DataPoints}, {true, false, false}},
      {{InputFileLabel, InputFile, OpenInput, LoadStateLabel, LoadStateFile, OpenState},
       {false, true, true}},
      {{OutputFileLabel, OutputFile, SaveOutput}, {false, false, true}},
      {{SaveStateLabel, SaveStateFile, SaveState}, {false, true, false}},
      {{LoadConversion}, {false, true, true}},
      {{SaveConversion}, {false, true, false}},
  };
  return table;
}

}  // namespace

std::vector<ControlEnabling> modeEnabling(int modeIndex) {
  std::vector<ControlEnabling> result;
  if (modeIndex < 0 || modeIndex >= kModeCount) return result;
  for (const EnablingRow& row : enablingTable()) {
    for (int id : row.ids) result.push_back({id, row.inMode[modeIndex]});
  }
  return result;
}

std::vector<int> modeDependentControls() {
  std::vector<int> ids;
  for (const EnablingRow& row : enablingTable())
    ids.insert(ids.end(), row.ids.begin(), row.ids.end());
  return ids;
}

std::uint32_t composeCpuFeatures(std::uint32_t standardEdx, std::uint32_t extendedEdx) {
  std::uint32_t features = 0;
  if (standardEdx & (1u << 23)) features |= kCpuMmx;
  if (standardEdx & (1u << 25)) features |= kCpuSse;
  if (standardEdx & (1u << 26)) features |= kCpuSse2;
  if (extendedEdx & (1u << 31)) features |= kCpuNnvec2;
  if (extendedEdx & (1u << 22)) features |= kCpuMmxExtensions;
  return features;
}

std::uint32_t detectCpuFeatures() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  // __get_cpuid checks that the function exists and returns 0 otherwise.
  if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0) return 0;
  unsigned standardEdx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) standardEdx = edx;
  unsigned extendedEdx = 0;
  if (__get_cpuid_max(0x80000000u, nullptr) >= 0x80000001u &&
      __get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) != 0) {
    extendedEdx = edx;
  }
  return composeCpuFeatures(standardEdx, extendedEdx);
}

bool canRunPairBuild(std::uint32_t /*cpuFeatures*/) { return true; }

PrecisionRuleOutcome precisionRule(bool doubleSelected, std::uint32_t cpuFeatures) {
  if (doubleSelected) return {true, false, false};
  return {false, canRunPairBuild(cpuFeatures), (cpuFeatures & kCpuSse) != 0};
}
