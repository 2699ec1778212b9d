#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "common/run_numbers.h"
#include "parameter_values.h"

// The dialog's remembered choices and parameters, kept per user under
// HKEY_CURRENT_USER\Software\Brennix Software\Vantiro. Registry problems go
// to the log (when one is open) and never to the screen: a value that cannot
// be read keeps its default.

inline constexpr const char* kSettingsKey = "Software\\Brennix Software\\Vantiro";

// The run numbers a first start shows, before anything is stored.
inline constexpr RunNumbers kDefaultRunNumbers{.numberOfNeurons = 2,
                                               .inputWindowSize = 384,
                                               .pointsToGenerate = 10,
                                               .benchmarkingDataPoints = 500,
                                               .benchmarkingIterations = 10000,
                                               .learningRate = 0.0001,
                                               .toleranceUnit = 0.00001,
                                               .trainToTolerance = 0.01};

// The stored choices, then the run numbers (runFlags is not stored: the mode
// and the two boxes stand for it), then the file names.
struct StoredSettings : RunNumbers {
  StoredSettings() : RunNumbers(kDefaultRunNumbers) {}

  std::uint32_t mode = 0;            // Mode list index; may be one the list lacks
  std::uint32_t precision = 0;       // 0 Single, 1 Double
  std::uint32_t instructionSet = 0;  // 0 x87, 1 nnvec2!, 2 SSE
  std::uint32_t priority = 0;        // 0 Idle, 1 Normal, 2 High
  std::uint32_t loadConversionState = 0;
  std::uint32_t saveConversionState = 0;
  // Absent when not stored: the field then keeps what it holds.
  std::optional<std::string> inputFile;
  std::optional<std::string> outputFile;
  std::optional<std::string> loadStateFile;
  std::optional<std::string> saveStateFile;
};

// A real is stored as its little-endian IEEE 754 bytes, each inverted.
std::array<std::uint8_t, 8> encodeStoredReal(double value);
double decodeStoredReal(const std::array<std::uint8_t, 8>& bytes);

// Reads every value in the store's order, starting from the defaults.
StoredSettings readStoredSettings(std::FILE* log);

// What a window stores: the mode it shows (none selected stores 0), the
// chosen button of each set and the two boxes as `isChecked` reads them, and
// the values of its last field exchange.
StoredSettings settingsToStore(int mode, const std::function<bool(int id)>& isChecked,
                               const ParameterValues& values);

// Opens the key for writing, then asks `collect` for the values (so the
// fields are read only when they can be stored) and writes them in order.
void writeStoredSettings(std::FILE* log, const std::function<StoredSettings()>& collect);
