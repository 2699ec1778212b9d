// The first step of the benchmark: on each workload's H and W, every build's
// engine pass must give the weights and pass errors of its reference
// arithmetic bit for bit before its speed means anything.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "builds/build_double.h"
#include "builds/build_single.h"
#include "builds/build_vec2.h"
#include "builds/build_vec4.h"
#include "model/network.h"
#include "model/random_generator.h"
#include "kernels/reference_pass.h"
#include "model/run_output.h"
#include "model/series.h"
#include "model/series_input.h"
#include "run/training_pass.h"
#include "workloads.h"

namespace {

template <class Build>
bool validate(const Workload& load) {
  using Element = typename Build::Element;
  // A short series: the rows and the window are those of the workload.
  const std::uint32_t n = load.w + 40;
  engine::RunOutput out(nullptr, nullptr);
  engine::RandomGenerator random(12345);
  engine::Series<Build> series;
  engine::Network<Build> net;
  if (engine::makeSyntheticSeries(out, n, load.w, random, series) != engine::kOk ||
      net.build(out, load.h, load.w, series.mean, 0.01, random) != engine::kOk) {
    return false;
  }
  net.drawHiddenWeights(random);
  if (net.allocateOutputs(out, true) != engine::kOk) return false;
  engine::ReferencePass<Build> reference(net);
  bool same = true;
  for (int pass = 0; pass < 2 && same; ++pass) {
    const Element fast = engine::trainPass(net, series);
    const Element slow = reference.pass(series.values(), n);
    same = std::memcmp(&fast, &slow, sizeof fast) == 0;
  }
  for (std::uint32_t r = 0; r < load.h && same; ++r) {
    same = std::memcmp(net.hiddenWeights.row(r), &reference.hidden[std::size_t{r} * load.w], load.w * sizeof(Element)) == 0;
  }
  same = same && std::memcmp(net.output.weights.data(), reference.output.data(), load.h * sizeof(Element)) == 0;
  std::printf("  %c %-8s %s\n", load.name, Build::kName, same ? "bit-identical to its reference" : "DIFFERS");
  return same;
}

}  // namespace

int main() {
  bool all = true;
  for (const Workload& load : kWorkloads) {
    all = validate<engine::SingleBuild>(load) && all;
    all = validate<engine::DoubleBuild>(load) && all;
    all = validate<engine::Vec4Build>(load) && all;
    all = validate<engine::Vec2Build>(load) && all;
  }
  return all ? 0 : 1;
}
