#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "kernels/instruction_set.h"
#include "model/network.h"
#include "model/random_generator.h"
#include "model/series.h"
#include "model/series_input.h"
#include "model/state_file.h"
#include "model/result_codes.h"
#include "model/run_output.h"
#include "run/run_parameters.h"
#include "run/runs.h"

namespace engine {

// The run's kernel set, from the processor and VANTIRO_ISA, read here once.
// A refusal is said at level 2 in plain words: it concerns the machine, not
// the run's parameters, so it has no number in the string table.
inline bool chooseRunInstructionSet(OutputSink* sink, InstructionSet* chosen) {
  const char* requested = std::getenv(kInstructionSetVariable);
  const InstructionSet best = bestInstructionSet();
  const InstructionSetChoice choice = chooseInstructionSet(requested, best, chosen);
  if (choice == InstructionSetChoice::kChosen) return true;
  char text[kMessageBufferSize];
  if (choice == InstructionSetChoice::kUnknownName) {
    std::snprintf(text, sizeof text, "%s=%.100s names no instruction set; use sse2 or avx2.",
                  kInstructionSetVariable, requested);
  } else {
    std::snprintf(text, sizeof text,
                  "%s=%.100s asks for an instruction set this processor does not have; it has %s.",
                  kInstructionSetVariable, requested, instructionSetName(best));
  }
  if (sink != nullptr) sink->write(kErrorLevel, text);
  return false;
}

// A network without neurons or without inputs is refused in plain words at
// level 2. None of the engine's numbered messages says this (the string
// table's "must be at least 1" texts name the front ends' own fields), so it
// is told as it is rather than as a size that is too large. The code stays
// the one for a network that cannot be built.
inline void refuseEmptyNetwork(OutputSink* sink, std::uint32_t neurons, std::uint32_t window) {
  char text[kMessageBufferSize];
  std::snprintf(text, sizeof text,
                "The network is empty: the number of neurons (%u) and the input window size "
                "(%u) must both be at least 1.",
                neurons, window);
  if (sink != nullptr) sink->write(kErrorLevel, text);
}

// One complete run of a build: announce, seed, obtain the series, build the
// network, load a state when asked, then Train, Generate or Benchmark. Every
// buffer and file is owned by this frame and released on every path.
template <class Build>
std::int32_t runEngine(const RunParameters& p, std::uint32_t seed) {
  RunOutput out(p.sink, p.languageModule);
  out.say(kInfoLevel, msg::kRunStarted);
  // The front ends never pass an empty network, but another program calling Pet
  // may; it is refused before anything is read (a window of 0 would otherwise be
  // written before its start).
  if (p.numberOfNeurons == 0 || p.inputWindowSize == 0) {
    refuseEmptyNetwork(p.sink, p.numberOfNeurons, p.inputWindowSize);
    return kOutOfMemory;
  }
  InstructionSet instructionSet;
  if (!chooseRunInstructionSet(p.sink, &instructionSet)) return kInstructionSetMissing;
  RandomGenerator random(seed);

  Series<Build> series;
  const std::uint32_t w = p.inputWindowSize;
  ResultCode result;
  if (p.benchmark()) {
    result = makeSyntheticSeries(out, p.benchmarkingDataPoints, w, random, series);
  } else {
    // Generate uses only the first W values; Train needs at least one target.
    const std::uint64_t minimum = static_cast<std::uint64_t>(w) + (p.train() ? 1 : 0);
    result = readSeriesFile(out, p.inputFile, minimum, series);
  }
  if (result != kOk) return result;

  Network<Build> net;
  result = net.build(out, p.numberOfNeurons, w, series.mean, p.learningRate, random);
  if (result != kOk) return result;
  net.instructionSet = instructionSet;

  bool loaded = false;
  if (!p.benchmark()) {
    const bool required = p.generate() || p.loadStateFile != nullptr;
    result = loadState(out, p.loadStateFile, p.loadAsText(), required, net, &loaded);
    if (result != kOk) return result;
  }
  if (!loaded) net.drawHiddenWeights(random);

  result = net.allocateOutputs(out, !p.generate());
  if (result != kOk) return result;

  if (p.generate()) return generationRun(out, p, net, series);
  if (p.train()) return trainingRun(out, p, net, series);
  return benchmarkRun(out, p, net, series);
}

}  // namespace engine
