// The floor of a small network: the time of one sample's chain of dependent
// operations, beside what the engine's Benchmark achieves on the same H and W.
//
// The chain is each build's plain arithmetic for one sample (the hidden sums
// in index order, the logistics, the output neuron's step, the factors, the
// hidden rows' updates) with the sizes known to the compiler and nothing else:
// no series copies, no checks, no error bookkeeping, no progress. Sample after
// sample it runs at the latency of that chain, since every sample starts from
// the weights the one before left. The Benchmark figures come from the built
// libraries through Pet, as a front end calls them: the difference between a
// run of 2k passes and one of k passes, so that the set-up cancels out.
//
//   chain_floor [ENGINE_DIR ...]
//   chain_floor --workloads ENGINE_DIR ...   (the large workloads A to D instead)
//
// Each ENGINE_DIR (default: the program directory of this build) holds the
// four libraries; several directories are timed alternately, shape by shape,
// so that their figures come from the same moments of a shared machine.
// VANTIRO_ISA chooses the libraries' kernel set as it does for every run.
// Cycles are time-stamp-counter cycles of the thread's own processor time.
#include <dlfcn.h>
#include <time.h>
#include <x86intrin.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "builds/build_double.h"
#include "builds/build_single.h"
#include "builds/build_vec2.h"
#include "builds/build_vec4.h"
#include "common/output_sink.h"
#include "kernels/exponential.h"
#include "kernels/reference_pass.h"
#include "model/network_math.h"
#include "model/random_generator.h"
#include "workloads.h"

namespace {

constexpr double kLearningRate = 0.01;

// The processor time of this thread in time-stamp-counter cycles: the time
// the thread ran, not the time others ran in between on a shared machine.
double gTicksPerNanosecond = 1.0;
std::uint64_t cpuTicks() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<std::uint64_t>((now.tv_sec * 1e9 + now.tv_nsec) * gTicksPerNanosecond);
}

// One sample's arithmetic of a build, H and W fixed at compile time.
template <class Build, std::uint32_t H, std::uint32_t W>
struct Chain {
  using E = typename Build::Element;
  using Kernels = typename engine::ReferenceKernelsOf<Build>::type;
  // The reference build and the double build: every sum in index order in double.
  static constexpr bool kSequentialSums = std::is_same_v<Kernels, engine::scalar::Kernels<E>>;

  E hidden[H * W];
  E output[H];
  E z[H];
  E back[H];
  E hiddenBias;
  E outputBias = static_cast<E>(-static_cast<double>(H));

  explicit Chain(engine::RandomGenerator& random) : hiddenBias(static_cast<E>(-(W * 0.25))) {
    for (E& v : output) v = random.unitValue<E>(Build::kRandomUnit);
    for (E& v : hidden) v = random.unitValue<E>(Build::kRandomUnit);
  }

  // The rows are independent until the output neuron: their steps stand side
  // by side (each row's own operations in its own order), so that the
  // processor overlaps them and the time is that of the longest chain.
  // (H is 1 or even here.) The
  // builds whose sums are one double chain per row take weight m of every
  // row before weight m + 1; the vector builds' sums are trees of their own.
  __attribute__((always_inline)) void sample(const E* x, E target) {
    double a[H];
    if constexpr (kSequentialSums) {
      for (std::uint32_t r = 0; r < H; ++r) a[r] = static_cast<double>(hiddenBias);
      for (std::uint32_t m = 0; m < W; ++m) {
        for (std::uint32_t r = 0; r < H; ++r)
          a[r] = a[r] + static_cast<double>(x[m]) * static_cast<double>(hidden[r * W + m]);
      }
    } else {
      for (std::uint32_t r = 0; r < H; ++r)
        a[r] = Kernels::hiddenSum(hiddenBias, x, hidden + r * W, W);
    }
    if constexpr (H % 2 == 0) {
      // Several rows' logistics in lanes, as the engine takes them: the same
      // values in fewer steps, so that the processor overlaps them.
      double lanes[H];
      engine::exponential_lanes::logisticOfMany<H>(a, lanes);
      for (std::uint32_t r = 0; r < H; ++r) z[r] = static_cast<E>(lanes[r]);
    } else {
      z[0] = static_cast<E>(engine::logistic(a[0]));
    }
    Kernels::trainOutput(outputBias, z, output, back, H, kLearningRate, target);
    E d[H];
    for (std::uint32_t r = 0; r < H; ++r) {
      d[r] = static_cast<E>(
          engine::hiddenFactor(static_cast<double>(z[r]), static_cast<double>(back[r])));
    }
    if constexpr (kSequentialSums) {
      for (std::uint32_t m = 0; m < W; ++m) {
        for (std::uint32_t r = 0; r < H; ++r) {
          hidden[r * W + m] = static_cast<E>(static_cast<double>(d[r]) * static_cast<double>(x[m]) +
                                             static_cast<double>(hidden[r * W + m]));
        }
      }
    } else {
      for (std::uint32_t r = 0; r < H; ++r) Kernels::updateHidden(d[r], x, hidden + r * W, W);
    }
  }

  // The cycles of `samples` samples over the series, pass after pass.
  __attribute__((noinline)) std::uint64_t run(const std::vector<E>& series, std::uint64_t samples) {
    const std::uint32_t perPass = static_cast<std::uint32_t>(series.size()) - W;
    const std::uint64_t start = cpuTicks();
    std::uint32_t t = 0;
    for (std::uint64_t i = 0; i < samples; ++i) {
      sample(series.data() + t, series[t + W]);
      if (++t == perPass) t = 0;
    }
    return cpuTicks() - start;
  }
};

class QuietSink final : public OutputSink {
 public:
  void write(std::uint32_t, const char*) override {}
};

using PetFunction = std::int32_t (*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                     std::uint32_t, std::uint32_t, double, double, double,
                                     const char*, const char*, const char*, const char*,
                                     OutputSink*, const std::int32_t*, void*);

struct Library {
  void* handle = nullptr;
  PetFunction pet = nullptr;
};

std::uint64_t benchmarkCycles(PetFunction pet, std::uint32_t h, std::uint32_t w, std::uint32_t n,
                              std::uint32_t passes) {
  QuietSink sink;
  const std::uint64_t start = cpuTicks();
  pet(0, h, w, 0, n, passes, kLearningRate, 0.001, 0.0, nullptr, nullptr, nullptr, nullptr, &sink,
      nullptr, nullptr);
  return cpuTicks() - start;
}

double tscGigahertz() {
  const auto start = std::chrono::steady_clock::now();
  const std::uint64_t ticks = __rdtsc();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(100)) {
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return static_cast<double>(__rdtsc() - ticks) / seconds * 1e-9;
}

// The chain and every directory's Benchmark at N = 100 and N = 100000, in
// rounds that take each of them in turn, briefly; each keeps its quickest
// round. A Benchmark figure is (2k passes − k passes) / (k (N − W)) cycles a
// sample, each of the two its quickest run.
template <class Build, std::uint32_t H, std::uint32_t W>
void row(const std::vector<std::vector<Library>>& dirs, int build) {
  using E = typename Build::Element;
  engine::RandomGenerator random(1);
  std::vector<E> series(1000);
  for (E& v : series) v = random.unitValue<E>(Build::kRandomUnit);
  Chain<Build, H, W> chain(random);
  chain.run(series, 100000);  // warm up
  constexpr std::uint64_t kChainSamples = 20000;
  constexpr std::uint32_t kSizes[2] = {100, 100000};
  std::uint32_t passes[2];
  for (int s = 0; s < 2; ++s) passes[s] = std::max<std::uint32_t>(1, 40000 / (kSizes[s] - W));
  double chainBest = 1e30;
  std::vector<double> once(dirs.size() * 2, 1e30), twice(dirs.size() * 2, 1e30);
  for (int round = 0; round < 9; ++round) {
    chainBest = std::min(chainBest, static_cast<double>(chain.run(series, kChainSamples)));
    for (std::size_t d = 0; d < dirs.size(); ++d) {
      for (int s = 0; s < 2; ++s) {
        const PetFunction pet = dirs[d][build].pet;
        double& k = once[2 * d + s];
        double& k2 = twice[2 * d + s];
        k = std::min(k, static_cast<double>(benchmarkCycles(pet, H, W, kSizes[s], passes[s])));
        k2 =
            std::min(k2, static_cast<double>(benchmarkCycles(pet, H, W, kSizes[s], 2 * passes[s])));
      }
    }
  }
  const double chainCycles = chainBest / kChainSamples;
  std::printf("| %s | %u | %u | %.0f |", Build::kName, H, W, chainCycles);
  for (std::size_t d = 0; d < dirs.size(); ++d) {
    for (int s = 0; s < 2; ++s) {
      const double perSample =
          (twice[2 * d + s] - once[2 * d + s]) / (static_cast<double>(passes[s]) * (kSizes[s] - W));
      std::printf(" %.0f (%.2fx) |", perSample, perSample / chainCycles);
    }
  }
  std::printf("\n");
  std::fflush(stdout);
}

template <class Build>
void rowsOf(const std::vector<std::vector<Library>>& dirs, int build) {
  row<Build, 1, 3>(dirs, build);
  row<Build, 1, 8>(dirs, build);
  row<Build, 1, 16>(dirs, build);
  row<Build, 2, 3>(dirs, build);
  row<Build, 2, 8>(dirs, build);
  row<Build, 2, 16>(dirs, build);
  row<Build, 4, 3>(dirs, build);
  row<Build, 4, 8>(dirs, build);
  row<Build, 4, 16>(dirs, build);
  // The corners of the small networks beyond the table: W 32, H 8.
  row<Build, 1, 32>(dirs, build);
  row<Build, 8, 3>(dirs, build);
  row<Build, 8, 32>(dirs, build);
}

// The large workloads A to D (workloads.h) instead: every directory's four
// libraries in turn, five rounds, the median of each one's processor time.
void compareWorkloads(const std::vector<std::string>& directories,
                      const std::vector<std::vector<Library>>& dirs) {
  const char* const names[] = {"nnsingle", "nndouble", "nnvec4", "nnvec2"};
  std::printf(
      "Seconds of processor time, median of 5 alternating rounds; in brackets the ratio "
      "to the first directory's (above 1: slower)\n\n| workload | build |");
  for (const std::string& directory : directories) std::printf(" %s |", directory.c_str());
  std::printf("\n|---|---|");
  for (std::size_t d = 0; d < dirs.size(); ++d) std::printf("---|");
  std::printf("\n");
  for (const Workload& load : kWorkloads) {
    if (load.name > 'D') continue;
    // A few tenths of a second a run.
    const double samples = static_cast<double>(load.n - load.w);
    const double operations = ((load.w * 4.0 + 12.0) * load.h + 2.0) * samples;
    const std::uint32_t passes =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(3e9 / operations));
    for (int build = 0; build < 4; ++build) {
      std::vector<std::vector<double>> seconds(dirs.size());
      for (int round = 0; round < 5; ++round) {
        for (std::size_t d = 0; d < dirs.size(); ++d) {
          seconds[d].push_back(static_cast<double>(benchmarkCycles(dirs[d][build].pet, load.h,
                                                                   load.w, load.n, passes)) /
                               gTicksPerNanosecond * 1e-9);
        }
      }
      std::printf("| %c | %s |", load.name, names[build]);
      double first = 0.0;
      for (std::size_t d = 0; d < dirs.size(); ++d) {
        std::sort(seconds[d].begin(), seconds[d].end());
        const double median = seconds[d][2];
        if (d == 0) first = median;
        std::printf(" %.3f (%.3f) |", median, median / first);
      }
      std::printf("\n");
      std::fflush(stdout);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> directories;
  bool workloads = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--workloads") == 0) {
      workloads = true;
    } else {
      directories.push_back(argv[i]);
    }
  }
  if (directories.empty()) directories.push_back(VANTIRO_BIN_DIR);
  const char* const names[] = {"nnsingle.dll", "nndouble.dll", "nnvec4.dll", "nnvec2.dll"};
  std::vector<std::vector<Library>> dirs;
  for (const std::string& directory : directories) {
    std::vector<Library> libraries;
    for (const char* name : names) {
      Library library;
      library.handle = dlopen((directory + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL);
      if (library.handle != nullptr)
        library.pet = reinterpret_cast<PetFunction>(dlsym(library.handle, "Pet"));
      if (library.pet == nullptr) {
        std::fprintf(stderr, "chain_floor: cannot load Pet from %s/%s\n", directory.c_str(), name);
        return 1;
      }
      libraries.push_back(library);
    }
    dirs.push_back(libraries);
  }
  const char* isa = std::getenv("VANTIRO_ISA");
  gTicksPerNanosecond = tscGigahertz();
  if (workloads) {
    compareWorkloads(directories, dirs);
    return 0;
  }
  std::printf(
      "Cycles a sample (time-stamp counter at %.2f GHz, of the thread's own processor "
      "time); kernel set: %s\n",
      gTicksPerNanosecond, isa != nullptr && *isa != '\0' ? isa : "the best of this processor");
  std::printf("Benchmark: the libraries of");
  for (const std::string& directory : directories) std::printf(" %s;", directory.c_str());
  std::printf(" in brackets the ratio to the chain\n\n| build | H | W | chain |");
  for (std::size_t d = 0; d < dirs.size(); ++d) std::printf(" N 100 | N 100000 |");
  std::printf("\n|---|---|---|---|");
  for (std::size_t d = 0; d < dirs.size(); ++d) std::printf("---|---|");
  std::printf("\n");
  // CHAIN_FLOOR_BUILDS (for example "nnsingle nnvec4") limits the table to those builds.
  const char* only = std::getenv("CHAIN_FLOOR_BUILDS");
  const auto wanted = [only](const char* name) {
    return only == nullptr || std::strstr(only, name) != nullptr;
  };
  if (wanted("nnsingle")) rowsOf<engine::SingleBuild>(dirs, 0);
  if (wanted("nndouble")) rowsOf<engine::DoubleBuild>(dirs, 1);
  if (wanted("nnvec4")) rowsOf<engine::Vec4Build>(dirs, 2);
  if (wanted("nnvec2")) rowsOf<engine::Vec2Build>(dirs, 3);
  return 0;
}
