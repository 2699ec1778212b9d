// The series reader on arbitrary file contents, in the single and double builds:
// every line that ends in a line feed is one value, whatever it holds.
#include <algorithm>

#include "fuzz_support.h"
#include "builds/build_double.h"
#include "builds/build_single.h"
#include "model/series_input.h"

namespace {

template <class Build>
void readAs(const fuzzing::MemoryFile& file, std::size_t lineFeeds) {
  fuzzing::SilentSink sink;
  engine::RunOutput out(&sink, nullptr);
  engine::Series<Build> series;
  const engine::ResultCode result = engine::readSeriesFile(out, file.path(), 1, series);
  fuzzing::require(result == (lineFeeds == 0 ? engine::kTooFewPoints : engine::kOk));
  if (result == engine::kOk) fuzzing::require(series.size() == lineFeeds);
  fuzzing::require(sink.lines == (result == engine::kOk ? 0u : 1u));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzzing::MemoryFile file(data, size);
  const auto lineFeeds = static_cast<std::size_t>(std::count(data, data + size, '\n'));
  readAs<engine::SingleBuild>(file, lineFeeds);
  readAs<engine::DoubleBuild>(file, lineFeeds);
  return 0;
}
