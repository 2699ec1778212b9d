#pragma once
#include <cstdint>
#include <cstdio>

#include "common/number_text.h"
#include "model/line_reader.h"
#include "model/network.h"
#include "model/safe_file.h"
#include "model/result_codes.h"
#include "model/run_output.h"

namespace engine {

// The neural state: the hidden bias, the H×W hidden weights row by row, then
// the H output weights. Binary form: raw little-endian values of the element
// type, nothing else. Text form: one number per line, an empty line after the
// bias, after each row and after the output weights.

namespace state_detail {

template <class Element>
bool readValues(std::FILE* file, Element* values, std::uint64_t count) {
  return std::fread(values, sizeof(Element), count, file) == count;
}

template <class Element>
bool writeValues(std::FILE* file, const Element* values, std::uint64_t count) {
  return std::fwrite(values, sizeof(Element), count, file) == count;
}

// Reads `count` weight lines; false when a line is missing.
template <class Element>
bool readTextValues(LineReader& reader, Element* values, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!reader.readLine()) return false;
    values[i] = static_cast<Element>(parseDecimal(reader.text()));
  }
  return true;
}

inline bool readSeparator(LineReader& reader) { return reader.readLine() && reader.empty(); }

template <class Build>
bool writeTextValue(std::FILE* file, typename Build::Element value) {
  char text[64];
  const int n =
      formatReal(text, sizeof text - 1, Build::kTextPrecision, static_cast<double>(value));
  text[n] = '\n';
  return std::fwrite(text, 1, static_cast<std::size_t>(n) + 1, file) ==
         static_cast<std::size_t>(n) + 1;
}

template <class Build>
bool writeTextValues(std::FILE* file, const typename Build::Element* values, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!writeTextValue<Build>(file, values[i])) return false;
  }
  return std::fputc('\n', file) != EOF;
}

template <class Build>
bool loadBinary(std::FILE* file, Network<Build>& net) {
  using Element = typename Build::Element;
  bool wellFormed = readValues<Element>(file, &net.hiddenBias, 1);
  for (std::uint32_t r = 0; r < net.h && wellFormed; ++r) {
    wellFormed = readValues<Element>(file, net.hiddenWeights.row(r), net.w);
  }
  wellFormed = wellFormed && readValues<Element>(file, net.output.weights.data(), net.h);
  Element extra;
  // A whole further value means the file belongs to another network.
  return wellFormed && !readValues<Element>(file, &extra, 1);
}

template <class Build>
bool loadText(std::FILE* file, Network<Build>& net) {
  using Element = typename Build::Element;
  LineReader reader(file);
  if (!readTextValues<Element>(reader, &net.hiddenBias, 1) || !readSeparator(reader)) return false;
  for (std::uint32_t r = 0; r < net.h; ++r) {
    if (!readTextValues<Element>(reader, net.hiddenWeights.row(r), net.w) || !readSeparator(reader))
      return false;
  }
  // Whatever follows the last separator is ignored.
  return readTextValues<Element>(reader, net.output.weights.data(), net.h) && readSeparator(reader);
}

}  // namespace state_detail

// Loads the state named by loadStateFile into the network, when the run asks
// for one. *loaded tells whether the weights came from a file. On failure
// reports its message and returns its code.
template <class Build>
ResultCode loadState(RunOutput& out, const char* path, bool asText, bool required,
                     Network<Build>& net, bool* loaded) {
  *loaded = false;
  std::FILE* file = openForReading(path);
  if (file == nullptr) {
    if (!required) return kOk;
    out.say(kErrorLevel, msg::kStateRequired);
    return kStateRequired;
  }
  FileCloser closer{file};
  out.say(kInfoLevel, asText ? msg::kLoadingTextState : msg::kLoadingBinaryState);
  const bool wellFormed =
      asText ? state_detail::loadText(file, net) : state_detail::loadBinary(file, net);
  if (!wellFormed) {
    out.say(kErrorLevel, msg::kStateMalformed);
    return kStateFileCorrupt;
  }
  *loaded = true;
  return kOk;
}

// Saves the network's weights to `path` in the chosen form. The previous file
// stays intact unless the new one is complete. Releases the hidden weights.
// Returns kOk or kStateSaveFailed after reporting message 54 or 55.
template <class Build>
ResultCode saveState(RunOutput& out, const char* path, bool asText, Network<Build>& net) {
  SafeFileWriter writer;
  if (!writer.open(path)) {
    net.hiddenWeights.release();
    out.say(kErrorLevel, msg::kStateNotCreated);
    return kStateSaveFailed;
  }
  std::FILE* file = writer.stream();
  bool written = true;
  if (asText) {
    out.say(kInfoLevel, msg::kSavingTextState);
    written = state_detail::writeTextValues<Build>(file, &net.hiddenBias, 1);
    for (std::uint32_t r = 0; r < net.h && written; ++r) {
      written = state_detail::writeTextValues<Build>(file, net.hiddenWeights.row(r), net.w);
    }
    written =
        written && state_detail::writeTextValues<Build>(file, net.output.weights.data(), net.h);
  } else {
    out.say(kInfoLevel, msg::kSavingBinaryState);
    written = state_detail::writeValues(file, &net.hiddenBias, 1);
    for (std::uint32_t r = 0; r < net.h && written; ++r) {
      written = state_detail::writeValues(file, net.hiddenWeights.row(r), net.w);
    }
    written = written && state_detail::writeValues(file, net.output.weights.data(), net.h);
  }
  net.hiddenWeights.release();
  if (!written) {
    writer.abandon();
  } else {
    written = writer.commit();
  }
  if (!written) {
    out.say(kErrorLevel, msg::kStateWriteFailed);
    return kStateSaveFailed;
  }
  return kOk;
}

}  // namespace engine
