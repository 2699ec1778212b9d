#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "parameter_values.h"
#include "control_table.h"

// How the parameter fields turn text into values and values into text, and
// the Memory Required text. Plain functions, free of any window.

// A numeric field is read from a buffer of this many characters, so only the
// first kNumericFieldBuffer - 1 characters of it are seen.
inline constexpr int kNumericFieldBuffer = 32;
// The longest Input File and Output File text a read accepts.
inline constexpr int kFileFieldLimit = 255;

// The program's own texts for a field that fails its rule.
inline constexpr const char* kEnterPositiveInteger = "Please enter a positive integer.";
inline constexpr const char* kEnterNumber = "Please enter a number.";
inline constexpr const char* kEnterNoMoreThan = "Please enter no more than %1 characters.";

// Blanks and tabs, an unsigned decimal number (a leading minus sign fails;
// values past 4294967295 read as 4294967295), then only blanks and tabs.
// A result of 0 needs the digit 0 as its first character.
std::optional<std::uint32_t> readUnsignedField(const char* text);

// Blanks and tabs, a decimal real in the "C" locale's form, then only blanks
// and tabs. A result of 0 needs the digit 0 as its first character, so "-0"
// and ".0" fail.
std::optional<double> readRealField(const char* text);

// "Please enter no more than 255 characters." with the limit filled in.
std::string textLimitMessage(int limit);

// The display forms: "%u", and "%.*g" at 15 digits with three-digit exponents.
std::string unsignedFieldText(std::uint32_t value);
std::string realFieldText(double value);

// "3,080 bytes": the memory the weights of `neurons` units with
// `windowSize` inputs each take, at 8 bytes an element in double precision
// and 4 in single.
std::string memoryRequiredText(std::uint32_t neurons, std::uint32_t windowSize,
                               bool doublePrecision);

// The fields of a field exchange in their order: a read stops at the first
// field that fails, so this order decides which field the user hears about.
// `Exchange` is the window's own (Qt or Win32) with unsignedField, realField
// and textField(id, value, typing limit; 0 for none).
template <typename Exchange>
void exchangeRunFields(Exchange& exchange, ParameterValues& v) {
  exchange.unsignedField(ctl::Neurons, v.numberOfNeurons);
  exchange.unsignedField(ctl::WindowSize, v.inputWindowSize);
  exchange.realField(ctl::LearningRate, v.learningRate);
  exchange.realField(ctl::ToleranceUnit, v.toleranceUnit);
  exchange.realField(ctl::TrainToTolerance, v.trainToTolerance);
  exchange.unsignedField(ctl::Iterations, v.benchmarkingIterations);
  exchange.unsignedField(ctl::DataPoints, v.benchmarkingDataPoints);
  exchange.textField(ctl::InputFile, v.inputFile, kFileFieldLimit);
  exchange.textField(ctl::OutputFile, v.outputFile, kFileFieldLimit);
  exchange.unsignedField(ctl::PointsToGenerate, v.pointsToGenerate);
  exchange.textField(ctl::SaveStateFile, v.saveStateFile, 0);
  exchange.textField(ctl::LoadStateFile, v.loadStateFile, 0);
}
