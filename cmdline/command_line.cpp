#include "command_line.h"

#include <cstring>

#include "common/engine_choice.h"
#include "common/message_ids.h"
#include "common/number_text.h"
#include "common/run_numbers.h"

namespace {

enum class Kind { kFlag, kInteger, kReal, kFile };

struct Option {
  const char* name;
  Kind kind;
  // Where the option writes, as a member of CommandLine.
  std::uint32_t CommandLine::*integer = nullptr;
  double CommandLine::*real = nullptr;
  const char* CommandLine::*file = nullptr;
  bool CommandLine::*flag = nullptr;
  std::uint32_t runFlag = 0;
};

// In the order the names are tried.
const Option kOptions[] = {
    {"-train", Kind::kFlag, nullptr, nullptr, nullptr, &CommandLine::trainSeen, kRunTrain},
    {"-generate", Kind::kFlag, nullptr, nullptr, nullptr, &CommandLine::generateSeen, kRunGenerate},
    {"-benchmark", Kind::kFlag, nullptr, nullptr, nullptr, &CommandLine::benchmarkSeen, 0},
    {"-numberOfNeurons", Kind::kInteger, &CommandLine::numberOfNeurons},
    {"-inputWindowSize", Kind::kInteger, &CommandLine::inputWindowSize},
    {"-learningRate", Kind::kReal, nullptr, &CommandLine::learningRate},
    {"-toleranceUnit", Kind::kReal, nullptr, &CommandLine::toleranceUnit},
    {"-trainToTolerance", Kind::kReal, nullptr, &CommandLine::trainToTolerance},
    {"-pointsToGenerate", Kind::kInteger, &CommandLine::pointsToGenerate},
    {"-benchmarkingIterations", Kind::kInteger, &CommandLine::benchmarkingIterations},
    {"-benchmarkingDataPoints", Kind::kInteger, &CommandLine::benchmarkingDataPoints},
    {"-inputFile", Kind::kFile, nullptr, nullptr, &CommandLine::inputFile},
    {"-outputFile", Kind::kFile, nullptr, nullptr, &CommandLine::outputFile},
    {"-loadStateFile", Kind::kFile, nullptr, nullptr, &CommandLine::loadStateFile},
    {"-saveStateFile", Kind::kFile, nullptr, nullptr, &CommandLine::saveStateFile},
    {"-loadConversionState", Kind::kFlag, nullptr, nullptr, nullptr, nullptr,
     kRunLoadConversionState},
    {"-saveConversionState", Kind::kFlag, nullptr, nullptr, nullptr, nullptr,
     kRunSaveConversionState},
    {"-doublePrecision", Kind::kFlag, nullptr, nullptr, nullptr, &CommandLine::doublePrecision, 0},
    {"-nnvec2", Kind::kFlag, nullptr, nullptr, nullptr, &CommandLine::nnvec2, 0},
    {"-SSE", Kind::kFlag, nullptr, nullptr, nullptr, &CommandLine::sse, 0},
};

const Option* findOption(const char* argument) {
  for (const Option& option : kOptions) {
    if (std::strcmp(option.name, argument) == 0) return &option;
  }
  return nullptr;
}

}  // namespace

std::uint32_t CommandLine::engineChoice() const {
  std::uint32_t choice = 0;
  if (doublePrecision) choice |= kEngineDouble;
  if (nnvec2) choice |= kEngineNnvec2;
  if (sse) choice |= kEngineSse;
  return choice;
}

bool parseCommandLine(int argc, char** argv, CommandLine* line) {
  if (argc < 2) return false;
  for (int i = 1; i < argc; ++i) {
    const Option* option = findOption(argv[i]);
    if (option == nullptr) return false;
    if (option->kind == Kind::kFlag) {
      if (option->flag != nullptr) line->*(option->flag) = true;
      line->runFlags |= option->runFlag;
      continue;
    }
    if (i + 1 >= argc) return false;  // the value is missing
    const char* value = argv[++i];
    switch (option->kind) {
      case Kind::kInteger:
        line->*(option->integer) = parseIntegerOption(value);
        break;
      case Kind::kReal:
        line->*(option->real) = parseDecimal(value);
        break;
      case Kind::kFile:
        line->*(option->file) = value;
        break;
      case Kind::kFlag:
        break;
    }
  }
  if (line->nnvec2 && line->sse) return false;
  if ((line->nnvec2 || line->sse) && line->doublePrecision) return false;
  const int modes = int{line->trainSeen} + int{line->generateSeen} + int{line->benchmarkSeen};
  return modes == 1;
}

std::vector<unsigned> checkCommandLine(const CommandLine& line) {
  std::vector<unsigned> failed;
  if (line.numberOfNeurons == 0) failed.push_back(msg::kNeuronsMissing);
  if (line.inputWindowSize == 0) failed.push_back(msg::kWindowMissing);
  if (static_cast<std::uint64_t>(line.numberOfNeurons) * line.inputWindowSize > kLargestSizeProduct)
    failed.push_back(msg::kNetworkProductTooLarge);
  if (line.trainSeen) {
    if (!(line.learningRate > 0.0)) failed.push_back(msg::kLearningRateMissing);
    if (!(line.toleranceUnit > 0.0)) failed.push_back(msg::kToleranceUnitMissing);
    if (!(line.trainToTolerance > 0.0)) failed.push_back(msg::kTrainToToleranceMissing);
  }
  if (line.generateSeen && line.pointsToGenerate == 0)
    failed.push_back(msg::kPointsToGenerateMissing);
  if (line.benchmarkSeen) {
    if (line.benchmarkingIterations == 0) failed.push_back(msg::kIterationsMissing);
    if (line.benchmarkingDataPoints == 0) failed.push_back(msg::kDataPointsMissing);
  }
  if (line.trainSeen || line.generateSeen) {
    if (line.inputFile == nullptr) failed.push_back(msg::kInputFileMissing);
    if (line.trainSeen && line.saveStateFile == nullptr)
      failed.push_back(msg::kSaveStateFileMissing);
    if (line.generateSeen) {
      if (line.loadStateFile == nullptr) failed.push_back(msg::kLoadStateFileMissing);
      if (line.outputFile == nullptr) failed.push_back(msg::kOutputFileMissing);
    }
  }
  return failed;
}
