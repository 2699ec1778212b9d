// FANN's per-sample training on a workload, for comparison: one hidden layer
// of H sigmoid units, a linear output, float, fann_train once per sample over
// the same kind of synthetic series the engine's Benchmark mode trains on.
// Prints the seconds and the millions of operations per second, counted with
// the engine's nominal ((W·4 + 12)·H + 2) per sample.
//
//   fann_bench H W N passes learningRate
#include <floatfann.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/model/random_generator.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: fann_bench H W N passes learningRate\n");
    return 2;
  }
  const std::uint32_t h = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
  const std::uint32_t w = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  const std::uint32_t n = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
  const std::uint32_t passes = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10));
  const float rate = static_cast<float>(std::atof(argv[5]));
  if (h == 0 || w == 0 || n <= w) {
    std::fprintf(stderr, "fann_bench: need H, W >= 1 and N > W\n");
    return 2;
  }

  // The engine's synthetic series: draws of its generator scaled to [0, 1].
  engine::RandomGenerator random(1);
  std::vector<float> series(n);
  for (float& v : series) v = random.unitValue<float>(0x8001p-30f);

  struct fann* ann = fann_create_standard(3, w, h, 1);
  if (ann == nullptr) return 1;
  fann_set_activation_function_hidden(ann, FANN_SIGMOID);
  fann_set_activation_function_output(ann, FANN_LINEAR);
  fann_set_learning_rate(ann, rate);
  fann_set_learning_momentum(ann, 0.0f);
  fann_randomize_weights(ann, 0.0f, 1.0f);

  const auto start = std::chrono::steady_clock::now();
  for (std::uint32_t pass = 0; pass < passes; ++pass) {
    for (std::uint32_t j = w; j < n; ++j) fann_train(ann, &series[j - w], &series[j]);
  }
  const auto end = std::chrono::steady_clock::now();
  fann_destroy(ann);

  const double seconds = std::chrono::duration<double>(end - start).count();
  const double operations = ((w * 4.0 + 12.0) * h + 2.0) * static_cast<double>(n - w) * passes;
  std::printf("%.3f seconds %.2f MOPS\n", seconds, operations / seconds * 1e-6);
  return 0;
}
