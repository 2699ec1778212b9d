#pragma once
#include <cstdint>

#include "common/message_ids.h"
#include "common/output_sink.h"

namespace engine {

// What a run returns; exactly one per run, distinct bits.
enum ResultCode : std::int32_t {
  kOk = 0,
  // The kernel set asked for through the environment is not available. Bit 0,
  // unused by the other codes, so that the console's exit status stays nonzero.
  kInstructionSetMissing = 1,
  kTooFewPoints = 2,
  kInputFileError = 4,
  kStateFileCorrupt = 8,
  kStateSaveFailed = 16,
  kOutputFileError = 32,
  kStateRequired = 64,
  kOutOfMemory = 128,
};

}  // namespace engine
