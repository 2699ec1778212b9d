// The English string table of Vantiro. Each text is a printf format for the
// arguments its message receives; a translation is another Language.dll with
// the same numbers. Texts the console prints directly (1 to 14) end with their
// own line end; texts that go through a sink or into the dialog do not.
#include <cstring>

namespace {

struct CatalogText {
  unsigned id;
  const char* text;
};

constexpr CatalogText kTexts[] = {
    {1,
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
    {2, "The number of neurons (-numberOfNeurons) must be at least 1.\n"},
    {3, "The input window size (-inputWindowSize) must be at least 1.\n"},
    {4, "The number of neurons times the input window size must not exceed %u.\n"},
    {5, "The learning rate (-learningRate) must be greater than 0.\n"},
    {6, "The tolerance unit (-toleranceUnit) must be greater than 0.\n"},
    {7, "The training target (-trainToTolerance) must be greater than 0.\n"},
    {8, "The number of points to generate (-pointsToGenerate) must be at least 1.\n"},
    {9, "The number of benchmarking iterations (-benchmarkingIterations) must be at least 1.\n"},
    {10, "The number of benchmarking data points (-benchmarkingDataPoints) must be at least 1.\n"},
    {11, "An input file (-inputFile) is required.\n"},
    {12, "A file to save the neural state to (-saveStateFile) is required.\n"},
    {13, "A neural state file to load (-loadStateFile) is required.\n"},
    {14, "An output file (-outputFile) is required.\n"},
    {15, "The engine library %s could not be loaded (error %d)."},
    {16, "Please choose a mode: Benchmark, Train or Generate."},
    {17, "The Number of Neurons must be at least 1."},
    {18, "The Input Window Size must be at least 1."},
    {19, "The Number of Neurons times the Input Window Size must not exceed %u."},
    {20, "The Learning Rate must be greater than 0."},
    {21, "The Tolerance Unit must be greater than 0."},
    {22, "The Train to Tolerance value must be greater than 0."},
    {23, "The Points to Generate must be at least 1."},
    {24, "The Benchmarking Iterations must be at least 1."},
    {25, "The Benchmarking Data Points must be at least 1."},
    {26, "Please name an Input File."},
    {27, "Please name a Save State File."},
    {28, "Please name a Load State File."},
    {29, "Please name an Output File."},
    {30, "Open Input File"},
    {31, "Save Neural State As"},
    {32, "Open Neural State File"},
    {33, "Save Generated Values As"},
    {35, "Vantiro closes as soon as the training has saved its state."},
    {36, "Stop requested: training ends after the current pass and saves its state."},
    {37, "The engine library %s has no Pet entry point (error %d)."},
    {38, "Vantiro run started."},
    {39, "The input file cannot be opened."},
    {40, "The input file has %u lines; at least %u are needed."},
    {41, "The input series is too long, or there is not enough memory for it."},
    {42, "The input file could not be read after %u lines."},
    {43, "Benchmarking needs at least %u data points."},
    {44, "Too many benchmarking data points, or not enough memory for them."},
    {45, "The network size is out of range, or there is not enough memory for it."},
    {46, "Loading the neural state (text form)."},
    {47, "Loading the neural state (binary form)."},
    {48, "The neural state file is incomplete or malformed."},
    {49, "A neural state file is required but cannot be opened."},
    {50, "Benchmarking %u neurons with an input window of %u: %u passes over %u data points; "
         "the weights take %s."},
    {51, "Largest relative error of the pass: %.*g"},
    {52, "Saving the neural state (text form)."},
    {53, "Saving the neural state (binary form)."},
    {54, "The neural state file cannot be created."},
    {55, "The neural state file could not be written completely; any previous file is kept."},
    {56, "Training finished; it took %.3f seconds."},
    {57, "Benchmark finished in %.3f seconds: %.2f million operations per second."},
    {58, "The output file cannot be created or written."},
    {59, "Generating values into the output file."},
    {60, "Generated %u values."},
    {61, "What to do: Train learns a series, Generate extends it, Benchmark measures speed."},
    {62, "Hidden units of the network (at least 1)."},
    {63, "How many values before the predicted one the network sees."},
    {64, "Step size of each weight update while training."},
    {65, "Smallest improvement of the pass error that is reported."},
    {66, "Training ends when the largest relative error of a pass is at or below this."},
    {67, "How many values to predict and write to the output file."},
    {68, "Passes over the random data in a benchmark."},
    {69, "Length of the random series a benchmark trains on."},
    {70, "The series file: one number per line."},
    {71, "Where the learned weights are saved."},
    {72, "A saved neural state: required to generate, optional to continue training."},
    {73, "Where the generated values are written, one per line."},
    {74, "Choose the input file."},
    {75, "Choose where to save the neural state."},
    {76, "Choose a neural state file to load."},
    {77, "Choose the output file."},
    {78, "Memory the network's weights take."},
    {79, "Arithmetic precision of the engine."},
    {80, "Engine build: x87 reference, nnvec2! pairs or SSE four lanes."},
    {81, "Priority of the run's thread."},
    {82, "Read the state file to load as text."},
    {83, "Write the state file as text."},
    {84, "End the training after the current pass; the state is saved."},
    {85, "Empty the output list."},
    {86, "Check the parameters and start the run."},
    {87, "Click, then click a control for help on it."},
    {88, "&About Vantiro..."},
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
