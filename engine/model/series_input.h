#pragma once
#include <cstdint>
#include <cstdio>

#include "common/number_text.h"
#include "model/line_reader.h"
#include "model/random_generator.h"
#include "model/series.h"
#include "model/result_codes.h"
#include "model/run_output.h"

namespace engine {

// Reads the series file: one value per line, every line ending in a line feed
// counted; a last line without one is not part of the series. `minimum` is the
// fewest lines the run can use. Each line is read whole and converted as a
// decimal number (anything else reads as 0); the mean is summed in the element
// type. On failure reports its message and returns its code.
template <class Build>
ResultCode readSeriesFile(RunOutput& out, const char* path, std::uint64_t minimum,
                          Series<Build>& series) {
  using Element = typename Build::Element;
  std::FILE* file = openForReading(path);
  if (file == nullptr) {
    out.say(kErrorLevel, msg::kInputNotOpened);
    return kInputFileError;
  }
  FileCloser closer{file};

  std::uint64_t count = 0;
  if (!countLineFeeds(file, &count)) {
    out.say(kErrorLevel, msg::kLineNotRead, 0u);
    return kInputFileError;
  }
  if (count < minimum) {
    out.say(kErrorLevel, msg::kTooFewLines, clampToUnsigned(count), clampToUnsigned(minimum));
    return kTooFewPoints;
  }
  if (count > Build::kSeriesLimit || !series.allocate(static_cast<std::uint32_t>(count))) {
    out.say(kErrorLevel, msg::kSeriesTooLarge);
    return kOutOfMemory;
  }
  const std::uint32_t n = static_cast<std::uint32_t>(count);
  if (std::fseek(file, 0, SEEK_SET) != 0) {
    series.release();
    out.say(kErrorLevel, msg::kLineNotRead, 0u);
    return kInputFileError;
  }
  LineReader reader(file);
  Element* values = series.values();
  Element sum = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    if (!reader.readLine()) {
      series.release();
      out.say(kErrorLevel, msg::kLineNotRead, i);
      return kInputFileError;
    }
    const double value = parseDecimal(reader.text());
    values[i] = static_cast<Element>(value);
    sum = static_cast<Element>(static_cast<double>(sum) + value);
  }
  series.mean = static_cast<Element>(static_cast<double>(sum) / static_cast<double>(n));
  series.fillCopies();
  return kOk;
}

// The Benchmark's series: N random values in [0, 1], mean exactly 0.5. These
// are the run's first random draws.
template <class Build>
ResultCode makeSyntheticSeries(RunOutput& out, std::uint32_t n, std::uint32_t window,
                               RandomGenerator& random, Series<Build>& series) {
  using Element = typename Build::Element;
  if (static_cast<std::uint64_t>(n) < static_cast<std::uint64_t>(window) + 1) {
    out.say(kErrorLevel, msg::kTooFewDataPoints,
            clampToUnsigned(static_cast<std::uint64_t>(window) + 1));
    return kTooFewPoints;
  }
  if (n > Build::kSeriesLimit || !series.allocate(n)) {
    out.say(kErrorLevel, Build::kBenchmarkSizeMessage);
    return kOutOfMemory;
  }
  series.mean = static_cast<Element>(0.5);
  Element* values = series.values();
  for (std::uint32_t i = 0; i < n; ++i) values[i] = random.unitValue<Element>(Build::kRandomUnit);
  series.fillCopies();
  return kOk;
}

}  // namespace engine
