// The English string table of Vantiro. Each text is a printf format for the
// arguments its message receives; a translation is another Language.dll with
// the same numbers. Texts the console prints directly (1 to 14) end with their
// own line end; texts that go through a sink or into the dialog do not.
#include <cstring>

#include "common/message_ids.h"

namespace {

struct CatalogText {
  unsigned id;
  const char* text;
};

constexpr CatalogText kTexts[] = {
    {msg::kUsage,
     "Usage: VantiroCmdLine MODE OPTIONS\n"
     "Learns a numeric time series (one number per line) with a small neural network\n"
     "and extends it by prediction.\n"
     "\n"
     "Modes (exactly one):\n"
     "  -train                     learn the series in -inputFile, save the weights\n"
     "  -generate                  extend the first window of -inputFile with a saved state\n"
     "  -benchmark                 train on random data and report the speed\n"
     "\n"
     "Network (every mode):\n"
     "  -numberOfNeurons N         hidden units, at least 1\n"
     "  -inputWindowSize W         values before the predicted one, at least 1\n"
     "\n"
     "Train:\n"
     "  -inputFile FILE            the series, one number per line\n"
     "  -saveStateFile FILE        where the learned weights are written\n"
     "  -loadStateFile FILE        optional: continue from these weights\n"
     "  -learningRate R            step size, greater than 0 (for example 0.0001)\n"
     "  -toleranceUnit R           smallest improvement reported, greater than 0\n"
     "  -trainToTolerance R        stop when the largest relative error of a pass\n"
     "                             is at or below R (greater than 0)\n"
     "Generate:\n"
     "  -inputFile FILE            its first W values seed the generation\n"
     "  -loadStateFile FILE        the weights learned by a Train run\n"
     "  -outputFile FILE           receives the generated values, one per line\n"
     "  -pointsToGenerate G        how many values to generate\n"
     "Benchmark:\n"
     "  -benchmarkingIterations I  passes over the random data\n"
     "  -benchmarkingDataPoints P  length of the random series\n"
     "  -learningRate R            step size used while training\n"
     "  -toleranceUnit R           smallest improvement reported\n"
     "\n"
     "State file form (binary unless given):\n"
     "  -loadConversionState       read -loadStateFile as text\n"
     "  -saveConversionState       write -saveStateFile as text\n"
     "Engine (at most one; default: single precision on the x87 path):\n"
     "  -doublePrecision           double precision\n"
     "  -SSE                       four-lane vector engine\n"
     "  -nnvec2                    pair vector engine\n"
     "\n"
     "Ctrl+C during training ends it after the current pass and saves the state.\n"
     "Exit code: 0 success, 1 bad command line or engine not loaded, 2 too few values,\n"
     "4 input file error, 8 state file malformed, 16 state not saved, 32 output file\n"
     "error, 64 state file required, 128 too large or out of memory.\n"},
    {msg::kNeuronsMissing, "The number of neurons (-numberOfNeurons) must be at least 1.\n"},
    {msg::kWindowMissing, "The input window size (-inputWindowSize) must be at least 1.\n"},
    {msg::kNetworkProductTooLarge,
     "The number of neurons times the input window size must not exceed %u.\n"},
    {msg::kLearningRateMissing, "The learning rate (-learningRate) must be greater than 0.\n"},
    {msg::kToleranceUnitMissing, "The tolerance unit (-toleranceUnit) must be greater than 0.\n"},
    {msg::kTrainToToleranceMissing,
     "The training target (-trainToTolerance) must be greater than 0.\n"},
    {msg::kPointsToGenerateMissing,
     "The number of points to generate (-pointsToGenerate) must be at least 1.\n"},
    {msg::kIterationsMissing,
     "The number of benchmarking iterations (-benchmarkingIterations) must be at least 1.\n"},
    {msg::kDataPointsMissing,
     "The number of benchmarking data points (-benchmarkingDataPoints) must be at least 1.\n"},
    {msg::kInputFileMissing, "An input file (-inputFile) is required.\n"},
    {msg::kSaveStateFileMissing,
     "A file to save the neural state to (-saveStateFile) is required.\n"},
    {msg::kLoadStateFileMissing, "A neural state file to load (-loadStateFile) is required.\n"},
    {msg::kOutputFileMissing, "An output file (-outputFile) is required.\n"},
    {msg::kEngineNotLoaded, "The engine library %s could not be loaded (error %d)."},
    {msg::kNoModeSelected, "Please choose a mode: Benchmark, Train or Generate."},
    {msg::kNeuronsMissing + msg::kDialogCheckOffset, "The Number of Neurons must be at least 1."},
    {msg::kWindowMissing + msg::kDialogCheckOffset, "The Input Window Size must be at least 1."},
    {msg::kNetworkProductTooLarge + msg::kDialogCheckOffset,
     "The Number of Neurons times the Input Window Size must not exceed %u."},
    {msg::kLearningRateMissing + msg::kDialogCheckOffset,
     "The Learning Rate must be greater than 0."},
    {msg::kToleranceUnitMissing + msg::kDialogCheckOffset,
     "The Tolerance Unit must be greater than 0."},
    {msg::kTrainToToleranceMissing + msg::kDialogCheckOffset,
     "The Train to Tolerance value must be greater than 0."},
    {msg::kPointsToGenerateMissing + msg::kDialogCheckOffset,
     "The Points to Generate must be at least 1."},
    {msg::kIterationsMissing + msg::kDialogCheckOffset,
     "The Benchmarking Iterations must be at least 1."},
    {msg::kDataPointsMissing + msg::kDialogCheckOffset,
     "The Benchmarking Data Points must be at least 1."},
    {msg::kInputFileMissing + msg::kDialogCheckOffset, "Please name an Input File."},
    {msg::kSaveStateFileMissing + msg::kDialogCheckOffset, "Please name a Save State File."},
    {msg::kLoadStateFileMissing + msg::kDialogCheckOffset, "Please name a Load State File."},
    {msg::kOutputFileMissing + msg::kDialogCheckOffset, "Please name an Output File."},
    {msg::kOpenInputTitle, "Open Input File"},
    {msg::kSaveStateTitle, "Save Neural State As"},
    {msg::kOpenStateTitle, "Open Neural State File"},
    {msg::kSaveOutputTitle, "Save Generated Values As"},
    {msg::kCloseDuringTraining, "Vantiro closes as soon as the training has saved its state."},
    {msg::kStopRequested,
     "Stop requested: training ends after the current pass and saves its state."},
    {msg::kPetMissing, "The engine library %s has no Pet entry point (error %d)."},
    {msg::kRunStarted, "Vantiro run started."},
    {msg::kInputNotOpened, "The input file cannot be opened."},
    {msg::kTooFewLines, "The input file has %u lines; at least %u are needed."},
    {msg::kSeriesTooLarge, "The input series is too long, or there is not enough memory for it."},
    {msg::kLineNotRead, "The input file could not be read after %u lines."},
    {msg::kTooFewDataPoints, "Benchmarking needs at least %u data points."},
    {msg::kDataPointsTooMany, "Too many benchmarking data points, or not enough memory for them."},
    {msg::kNetworkTooLarge,
     "The network size is out of range, or there is not enough memory for it."},
    {msg::kLoadingTextState, "Loading the neural state (text form)."},
    {msg::kLoadingBinaryState, "Loading the neural state (binary form)."},
    {msg::kStateMalformed, "The neural state file is incomplete or malformed."},
    {msg::kStateRequired, "A neural state file is required but cannot be opened."},
    {msg::kBenchmarkStarting,
     "Benchmarking %u neurons with an input window of %u: %u passes over %u data points; "
     "the weights take %s."},
    {msg::kProgress, "Largest relative error of the pass: %.*g"},
    {msg::kSavingTextState, "Saving the neural state (text form)."},
    {msg::kSavingBinaryState, "Saving the neural state (binary form)."},
    {msg::kStateNotCreated, "The neural state file cannot be created."},
    {msg::kStateWriteFailed,
     "The neural state file could not be written completely; any previous file is kept."},
    {msg::kTrainingDone, "Training finished; it took %.3f seconds."},
    {msg::kBenchmarkDone,
     "Benchmark finished in %.3f seconds: %.2f million operations per second."},
    {msg::kOutputNotCreated, "The output file cannot be created or written."},
    {msg::kGenerating, "Generating values into the output file."},
    {msg::kGenerationDone, "Generated %u values."},
    {msg::kTipModeList,
     "What to do: Train learns a series, Generate extends it, Benchmark measures speed."},
    {msg::kTipNeurons, "Hidden units of the network (at least 1)."},
    {msg::kTipWindowSize, "How many values before the predicted one the network sees."},
    {msg::kTipLearningRate, "Step size of each weight update while training."},
    {msg::kTipToleranceUnit, "Smallest improvement of the pass error that is reported."},
    {msg::kTipTrainToTolerance,
     "Training ends when the largest relative error of a pass is at or below this."},
    {msg::kTipPointsToGenerate, "How many values to predict and write to the output file."},
    {msg::kTipIterations, "Passes over the random data in a benchmark."},
    {msg::kTipDataPoints, "Length of the random series a benchmark trains on."},
    {msg::kTipInputFile, "The series file: one number per line."},
    {msg::kTipSaveStateFile, "Where the learned weights are saved."},
    {msg::kTipLoadStateFile,
     "A saved neural state: required to generate, optional to continue training."},
    {msg::kTipOutputFile, "Where the generated values are written, one per line."},
    {msg::kTipOpenInput, "Choose the input file."},
    {msg::kTipSaveState, "Choose where to save the neural state."},
    {msg::kTipOpenState, "Choose a neural state file to load."},
    {msg::kTipSaveOutput, "Choose the output file."},
    {msg::kTipMemory, "Memory the network's weights take."},
    {msg::kTipPrecision, "Arithmetic precision of the engine."},
    {msg::kTipInstructionSet, "Engine build: x87 reference, nnvec2! pairs or SSE four lanes."},
    {msg::kTipPriority, "Priority of the run's thread."},
    {msg::kTipLoadConversion, "Read the state file to load as text."},
    {msg::kTipSaveConversion, "Write the state file as text."},
    {msg::kTipStop, "End the training after the current pass; the state is saved."},
    {msg::kTipClear, "Empty the output list."},
    {msg::kTipBegin, "Check the parameters and start the run."},
    {msg::kTipHelp, "Click, then click a control for help on it."},
    {msg::kAboutItem, "&About Vantiro..."},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int LoadCatalogString(unsigned id, char* buffer,
                                                                        int bufferSize) {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  for (const CatalogText& entry : kTexts) {
    if (entry.id != id) continue;
    const std::size_t length = std::strlen(entry.text);
    const std::size_t copied = length < static_cast<std::size_t>(bufferSize - 1)
                                   ? length
                                   : static_cast<std::size_t>(bufferSize - 1);
    std::memcpy(buffer, entry.text, copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
  }
  return 0;
}
