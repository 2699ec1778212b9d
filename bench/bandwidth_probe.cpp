// A scale for a workload whose weights do not fit the cache: every sample
// reads and writes each hidden weight once, and this is the rate of the
// plainest such sweep, row by row, one read-modify-write pass over the
// buffer. It is no ceiling: the engine's sweeps pass it (rows interleaved
// into one stream, every other sample starting on the rows the one before
// left in the cache). Prints, per element width, the sweep's rate and the
// MOPS it would give at the engine's nominal count (about 4 per weight).
//
//   bandwidth_probe H W
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

template <class E>
void probe(std::uint32_t h, std::uint32_t w, const char* name) {
  std::vector<E> weights(std::size_t{h} * w, E(0.5));
  std::vector<E> x(w, E(0.25));
  const E d = E(1e-7);
  const double opsPerSample = (w * 4.0 + 12.0) * h + 2.0;
  // Warm up, then time enough sweeps for about half a second.
  int sweeps = 1;
  double seconds = 0;
  while (seconds < 0.5) {
    sweeps *= 2;
    const auto start = std::chrono::steady_clock::now();
    for (int s = 0; s < sweeps; ++s) {
      for (std::uint32_t r = 0; r < h; ++r) {
        E* row = &weights[std::size_t{r} * w];
        for (std::uint32_t m = 0; m < w; ++m) row[m] = row[m] + x[m] * d;
      }
    }
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double bytes = 2.0 * sizeof(E) * static_cast<double>(weights.size()) * sweeps;
  std::printf("  %-6s %6.1f MB of weights: %5.1f GB/s read+write, at most %6.0f MOPS\n", name,
              sizeof(E) * static_cast<double>(weights.size()) / 1e6, bytes / seconds / 1e9,
              opsPerSample * sweeps / seconds / 1e6);
  if (weights[0] < 0) std::printf("?\n");  // keeps the sweeps
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bandwidth_probe H W\n");
    return 2;
  }
  const auto h = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
  const auto w = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  probe<float>(h, w, "float");
  probe<double>(h, w, "double");
  return 0;
}
