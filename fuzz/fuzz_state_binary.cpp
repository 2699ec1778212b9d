// The binary state loader: a file loads exactly when it holds every value and
// less than one value more.
#include "state_loading.h"

namespace {

template <class Build>
void load(const std::uint8_t* data, std::size_t size) {
  const fuzzing::LoadedState s = fuzzing::loadStateBytes<Build>(data, size, false);
  if (s.h == 0) return;
  const std::size_t element = sizeof(typename Build::Element);
  const std::size_t whole = element * (1 + s.h * s.w + s.h);
  const bool fits = s.fileSize >= whole && s.fileSize < whole + element;
  fuzzing::require(s.result == (fits ? engine::kOk : engine::kStateFileCorrupt));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  load<engine::SingleBuild>(data, size);
  load<engine::DoubleBuild>(data, size);
  return 0;
}
