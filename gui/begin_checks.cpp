#include "begin_checks.h"

#include "common/engine_choice.h"
#include "mode_rules.h"

std::uint32_t runFlagsFor(int modeIndex, bool loadConversionTicked, bool saveConversionTicked) {
  std::uint32_t flags = 0;
  if (modeIndex == kModeTrain) flags |= 1;
  if (modeIndex == kModeGenerate) flags |= 2;
  if (loadConversionTicked) flags |= 4;
  if (saveConversionTicked) flags |= 8;
  return flags;
}

std::vector<unsigned> failedBeginChecks(int modeIndex, const ParameterValues& v) {
  if (modeIndex < 0) return {kNoModeMessage};
  std::vector<unsigned> failed;
  auto check = [&failed](bool fails, unsigned message) {
    if (fails) failed.push_back(message);
  };
  check(v.numberOfNeurons == 0, 17);
  check(v.inputWindowSize == 0, 18);
  // Computed wide: the product of two 32-bit counts does not fit 32 bits.
  const std::uint64_t product = static_cast<std::uint64_t>(v.numberOfNeurons) * v.inputWindowSize;
  check(product > kLargestProduct, kProductMessage);
  const bool train = modeIndex == kModeTrain;
  const bool generate = modeIndex == kModeGenerate;
  if (train) {
    // Written as "not greater" so that a NaN fails as well.
    check(!(v.learningRate > 0.0), 20);
    check(!(v.toleranceUnit > 0.0), 21);
    check(!(v.trainToTolerance > 0.0), 22);
  }
  if (generate) check(v.pointsToGenerate == 0, 23);
  if (modeIndex == kModeBenchmark) {
    check(v.benchmarkingIterations == 0, 24);
    check(v.benchmarkingDataPoints == 0, 25);
  }
  if (train || generate) {
    check(v.inputFile.empty(), 26);
    if (train) check(v.saveStateFile.empty(), 27);
    if (generate) {
      check(v.loadStateFile.empty(), 28);
      check(v.outputFile.empty(), 29);
    }
  }
  return failed;
}

std::uint32_t engineChoiceFor(bool doubleSelected, bool nnvec2Selected, bool sseSelected) {
  std::uint32_t choice = doubleSelected ? kEngineDouble : 0;
  if (nnvec2Selected) {
    choice |= kEngineNnvec2;
  } else if (sseSelected) {
    choice |= kEngineSse;
  }
  return choice;
}

ThreadPriority priorityFor(bool highSelected, bool normalSelected) {
  if (highSelected) return ThreadPriority::High;
  if (normalSelected) return ThreadPriority::Normal;
  return ThreadPriority::Idle;
}
