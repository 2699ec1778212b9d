// The text state loader: whatever the lines hold, a load either succeeds or
// reports a malformed file, and never reads past what it was given.
#include "state_loading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const auto result :
       {fuzzing::loadStateBytes<engine::SingleBuild>(data, size, true).result,
        fuzzing::loadStateBytes<engine::DoubleBuild>(data, size, true).result}) {
    fuzzing::require(result == engine::kOk || result == engine::kStateFileCorrupt);
  }
  return 0;
}
