#include "mode_rules.h"

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

PrecisionRuleOutcome precisionRule(bool doubleSelected, std::uint32_t cpuFeatures) {
  if (doubleSelected) return {true, false, false};
  return {false, true, (cpuFeatures & kCpuSse) != 0};
}
