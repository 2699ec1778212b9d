#pragma once
#include <cstdint>
#include <cstdio>

#include "common/number_text.h"
#include "model/network.h"
#include "model/safe_file.h"
#include "model/series.h"
#include "model/state_file.h"
#include "platform/tick_counter.h"
#include "model/result_codes.h"
#include "model/run_output.h"
#include "run/run_parameters.h"
#include "run/training_pass.h"

namespace engine {

// The progress rule shared by Train and Benchmark: a pass earns a report when
// its error improved on the last reported one by more than the tolerance unit.
template <class Build>
void reportProgress(RunOutput& out, typename Build::Element passError,
                    typename Build::Element& bestError, double toleranceUnit) {
  if (static_cast<double>(bestError) - static_cast<double>(passError) > toleranceUnit) {
    bestError = passError;
    out.say(kProgressLevel, msg::kProgress, Build::kTextPrecision, static_cast<double>(passError));
  }
}

// Milliseconds between two tick readings, modulo 2^32; never 0.
inline std::uint32_t elapsedMilliseconds(std::uint32_t start, std::uint32_t end) {
  const std::uint32_t elapsed = end - start;
  return elapsed == 0 ? 1 : elapsed;
}

// What only the passes use, given back as soon as they are over: the series
// and the pass's scratch rows.
template <class Build>
void releasePassBuffers(Network<Build>& net, Series<Build>& series) {
  series.release();
  net.hiddenOutputs.release();
  net.backSignals.release();
}

// Train: passes until a reported pass error reaches trainToTolerance or the
// front end clears keepRunning (read once before each pass), then the save.
template <class Build>
ResultCode trainingRun(RunOutput& out, const RunParameters& p, Network<Build>& net,
                       Series<Build>& series) {
  using Element = typename Build::Element;
  Element bestError = Build::kBestErrorStart;
  const std::uint32_t start = tickCount();
  while (keepRunningSet(p.keepRunning) && static_cast<double>(bestError) > p.trainToTolerance) {
    const Element passError = trainPass(net, series);
    reportProgress<Build>(out, passError, bestError, p.toleranceUnit);
  }
  const std::uint32_t end = tickCount();
  releasePassBuffers(net, series);
  const double seconds = elapsedMilliseconds(start, end) * 0.001;
  const ResultCode result = saveState(out, p.saveStateFile, p.saveAsText(), net);
  out.say(kInfoLevel, msg::kTrainingDone, seconds);
  return result;
}

// Benchmark: exactly benchmarkingIterations passes over the synthetic series,
// timed; reports the memory the weights take, the time and the throughput.
template <class Build>
ResultCode benchmarkRun(RunOutput& out, const RunParameters& p, Network<Build>& net,
                        Series<Build>& series) {
  using Element = typename Build::Element;
  const std::uint32_t h = net.h;
  const std::uint32_t w = net.w;
  const std::uint32_t n = series.size();
  Element bestError = Build::kBestErrorStart;

  char memoryText[kMessageBufferSize];
  const double bytes = (static_cast<double>(h) * static_cast<double>(w) + static_cast<double>(h)) *
                       static_cast<double>(sizeof(Element));
  formatByteCount(memoryText, sizeof memoryText, bytes);
  out.say(kInfoLevel, msg::kBenchmarkStarting, h, w, p.benchmarkingIterations, n, memoryText);

  const std::uint32_t start = tickCount();
  for (std::uint32_t pass = 0; pass < p.benchmarkingIterations; ++pass) {
    const Element passError = trainPass(net, series);
    reportProgress<Build>(out, passError, bestError, p.toleranceUnit);
  }
  const std::uint32_t end = tickCount();
  releasePassBuffers(net, series);
  net.hiddenWeights.release();

  const std::uint32_t elapsed = elapsedMilliseconds(start, end);
  const double seconds = elapsed * 0.001;
  const double operationsPerSample =
      (static_cast<double>(w) * 4.0 + 12.0) * static_cast<double>(h) + 2.0;
  const double rate = operationsPerSample * static_cast<double>(n - w) *
                      static_cast<double>(p.benchmarkingIterations) / static_cast<double>(elapsed) *
                      0.001;
  out.say(kInfoLevel, msg::kBenchmarkDone, seconds, rate);
  return kOk;
}

// Generate: extends the seed window (the first W series values) by
// pointsToGenerate predictions, each written to the output file and fed back
// as the newest window value.
template <class Build>
ResultCode generationRun(RunOutput& out, const RunParameters& p, Network<Build>& net,
                         Series<Build>& series) {
  using Element = typename Build::Element;
  series.releaseCopies();
  // Through the same writer as a state: a failed run leaves the previous file as it was.
  SafeFileWriter writer;
  std::FILE* file = writer.open(p.outputFile) ? writer.stream() : nullptr;
  if (file == nullptr) {
    out.say(kErrorLevel, msg::kOutputNotCreated);
    return kOutputFileError;
  }
  out.say(kInfoLevel, msg::kGenerating);
  Element* window = series.values();
  const std::uint32_t w = net.w;
  bool written = true;
  for (std::uint32_t i = 0; i < p.pointsToGenerate && written; ++i) {
    net.computeHidden(window);
    const double y = net.output.evaluate(net.hiddenOutputs.data());
    char text[64];
    const int length = formatReal(text, sizeof text - 1, Build::kTextPrecision, y);
    text[length] = '\n';
    written = std::fwrite(text, 1, static_cast<std::size_t>(length) + 1, file) ==
              static_cast<std::size_t>(length) + 1;
    for (std::uint32_t m = 0; m + 1 < w; ++m) window[m] = window[m + 1];
    window[w - 1] = static_cast<Element>(y);
  }
  // A full disk or a size limit must not pass for success: every write and the close are checked.
  if (written) {
    written = writer.commit();
  } else {
    writer.abandon();
  }
  series.release();
  net.hiddenWeights.release();
  net.hiddenOutputs.release();
  if (!written) {
    out.say(kErrorLevel, msg::kOutputNotCreated);
    return kOutputFileError;
  }
  out.say(kInfoLevel, msg::kGenerationDone, p.pointsToGenerate);
  return kOk;
}

}  // namespace engine
