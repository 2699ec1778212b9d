#include "begin_checks.h"

#include "common/catalog_message.h"
#include "common/engine_choice.h"
#include "common/message_ids.h"
#include "common/run_numbers.h"
#include "gui/rules/mode_rules.h"

std::uint32_t runFlagsFor(int modeIndex, bool loadConversionTicked, bool saveConversionTicked) {
  std::uint32_t flags = 0;
  if (modeIndex == kModeTrain) flags |= kRunTrain;
  if (modeIndex == kModeGenerate) flags |= kRunGenerate;
  if (loadConversionTicked) flags |= kRunLoadConversionState;
  if (saveConversionTicked) flags |= kRunSaveConversionState;
  return flags;
}

namespace {

// The dialog numbers its checks 15 above the console's same checks.
constexpr unsigned dialogCheck(unsigned consoleMessage) {
  return consoleMessage + msg::kDialogCheckOffset;
}

}  // namespace

std::vector<unsigned> failedBeginChecks(int modeIndex, const ParameterValues& v) {
  if (modeIndex < 0) return {kNoModeMessage};
  std::vector<unsigned> failed;
  auto check = [&failed](bool fails, unsigned message) {
    if (fails) failed.push_back(message);
  };
  check(v.numberOfNeurons == 0, dialogCheck(msg::kNeuronsMissing));
  check(v.inputWindowSize == 0, dialogCheck(msg::kWindowMissing));
  // Computed wide: the product of two 32-bit counts does not fit 32 bits.
  const std::uint64_t product = static_cast<std::uint64_t>(v.numberOfNeurons) * v.inputWindowSize;
  check(product > kLargestProduct, kProductMessage);
  const bool train = modeIndex == kModeTrain;
  const bool generate = modeIndex == kModeGenerate;
  if (train) {
    // Written as "not greater" so that a NaN fails as well.
    check(!(v.learningRate > 0.0), dialogCheck(msg::kLearningRateMissing));
    check(!(v.toleranceUnit > 0.0), dialogCheck(msg::kToleranceUnitMissing));
    check(!(v.trainToTolerance > 0.0), dialogCheck(msg::kTrainToToleranceMissing));
  }
  if (generate) check(v.pointsToGenerate == 0, dialogCheck(msg::kPointsToGenerateMissing));
  if (modeIndex == kModeBenchmark) {
    check(v.benchmarkingIterations == 0, dialogCheck(msg::kIterationsMissing));
    check(v.benchmarkingDataPoints == 0, dialogCheck(msg::kDataPointsMissing));
  }
  if (train || generate) {
    check(v.inputFile.empty(), dialogCheck(msg::kInputFileMissing));
    if (train) check(v.saveStateFile.empty(), dialogCheck(msg::kSaveStateFileMissing));
    if (generate) {
      check(v.loadStateFile.empty(), dialogCheck(msg::kLoadStateFileMissing));
      check(v.outputFile.empty(), dialogCheck(msg::kOutputFileMissing));
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

std::vector<std::string> beginCheckLines(int modeIndex, const ParameterValues& values,
                                         void* languageModule) {
  std::vector<std::string> lines;
  for (unsigned message : failedBeginChecks(modeIndex, values)) {
    char text[kMessageBufferSize];
    formatCatalogMessage(languageModule, text, message, kLargestProduct);
    lines.emplace_back(text);
  }
  if (!lines.empty() && modeIndex >= 0) lines.emplace_back();
  return lines;
}
