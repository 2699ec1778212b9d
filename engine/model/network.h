#pragma once
#include <cstdint>

#include "kernels/instruction_set.h"
#include "kernels/interleaved_rows.h"
#include "model/aligned_buffer.h"
#include "model/hidden_weights.h"
#include "model/network_math.h"
#include "model/output_neuron.h"
#include "model/random_generator.h"
#include "model/result_codes.h"
#include "model/run_output.h"

namespace engine {

// The two-layer network of one run: H logistic hidden units over a window of
// W values, sharing one untrained bias, and one linear output neuron.
template <class Build>
struct Network {
  using Element = typename Build::Element;

  std::uint32_t h = 0;
  std::uint32_t w = 0;
  Element hiddenBias = 0;
  HiddenWeights<Build> hiddenWeights;
  OutputNeuron<Build> output;
  AlignedBuffer<Element> hiddenOutputs;
  AlignedBuffer<Element> backSignals;
  // The kernel set every pass takes: the run sets it once when it starts.
  InstructionSet instructionSet = bestInstructionSet();

  // Derives the hidden bias from the series mean, allocates the hidden weights
  // and builds the output neuron (H random draws). On failure reports message
  // 45 and returns its code.
  ResultCode build(RunOutput& out, std::uint32_t neurons, std::uint32_t window, Element seriesMean,
                   double learningRate, RandomGenerator& random) {
    h = neurons;
    w = window;
    const Element halfMean = static_cast<Element>(static_cast<double>(seriesMean) * 0.5);
    hiddenBias =
        static_cast<Element>(-(static_cast<double>(window) * static_cast<double>(halfMean)));
    if (!hiddenWeights.allocate(neurons, window) ||
        !output.construct(neurons, learningRate, random)) {
      out.say(kErrorLevel, msg::kNetworkTooLarge);
      return kOutOfMemory;
    }
    return kOk;
  }

  // Random hidden weights, row 0 first, input 0 first: used when no state is loaded.
  void drawHiddenWeights(RandomGenerator& random) {
    for (std::uint32_t r = 0; r < h; ++r) {
      Element* row = hiddenWeights.row(r);
      for (std::uint32_t m = 0; m < w; ++m) row[m] = random.unitValue<Element>(Build::kRandomUnit);
    }
  }

  // Room for one group of rows while the pass rearranges it (see
  // interleaved_rows.h). Only a speed-up: a pass without it runs on the
  // rows as they are, so a run that gets no room for it still runs.
  AlignedBuffer<Element> interleaveScratch;
  // Room for the two windows of a sample widened to double, for lane sets
  // that read them so (see interleaved_rows.h); a speed-up as the above.
  AlignedBuffer<double> wideWindows;
  static constexpr std::uint32_t kInterleavedRows = kInterleavedRowsOf<typename Build::Avx2Lanes>;
  static constexpr std::uint32_t kInterleaveRoomRows =
      kInterleaveRoomRowsOf<typename Build::Avx2Lanes>;

  // hiddenOutputs always; backSignals (and the room above) only for runs that train.
  ResultCode allocateOutputs(RunOutput& out, bool withBackSignals) {
    if (!hiddenOutputs.allocate(h, Build::kAlignment) ||
        (withBackSignals && !backSignals.allocate(h, Build::kAlignment))) {
      out.say(kErrorLevel, msg::kNetworkTooLarge);
      return kOutOfMemory;
    }
    if (kInterleavedRows > 0 && withBackSignals && h >= kInterleavedRows) {
      // No group is taller than the network.
      const std::uint32_t roomRows = h < kInterleaveRoomRows ? h : kInterleaveRoomRows;
      interleaveScratch.allocate(static_cast<std::uint64_t>(roomRows) * w, Build::kAlignment);
    }
    if (kWideWindowsOf<typename Build::Avx2Lanes> && withBackSignals)
      wideWindows.allocate(2 * static_cast<std::uint64_t>(w), sizeof(double));
    return kOk;
  }

  // Hidden outputs for the window x: logistic of bias + Σ x·w, rounded where stored.
  void computeHidden(const Element* x) {
    for (std::uint32_t r = 0; r < h; ++r) {
      hiddenOutputs[r] =
          static_cast<Element>(logistic(Build::hiddenSum(hiddenBias, x, hiddenWeights.row(r), w)));
    }
  }
};

}  // namespace engine
