#pragma once
// Loads arbitrary bytes as a neural state: the first two bytes choose the
// network's size (1 to 4 hidden units, 1 to 8 inputs), the rest is the file.
#include "fuzz_support.h"
#include "builds/build_double.h"
#include "builds/build_single.h"
#include "model/network.h"
#include "model/random_generator.h"
#include "model/state_file.h"

namespace fuzzing {

struct LoadedState {
  engine::ResultCode result;
  std::uint32_t h, w;
  std::size_t fileSize;
};

template <class Build>
LoadedState loadStateBytes(const std::uint8_t* data, std::size_t size, bool asText) {
  if (size < 2) return {engine::kOk, 0, 0, 0};
  const std::uint32_t h = 1 + data[0] % 4;
  const std::uint32_t w = 1 + data[1] % 8;
  const MemoryFile file(data + 2, size - 2);
  SilentSink sink;
  engine::RunOutput out(&sink, nullptr);
  engine::RandomGenerator random(1);
  engine::Network<Build> net;
  require(net.build(out, h, w, 1, 0.1, random) == engine::kOk);
  bool loaded = false;
  const engine::ResultCode result = engine::loadState(out, file.path(), asText, true, net, &loaded);
  require(loaded == (result == engine::kOk));
  return {result, h, w, size - 2};
}

}  // namespace fuzzing
