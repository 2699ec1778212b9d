#pragma once
// The limits the help reader puts on itself before it opens the manual, so
// that whatever a hostile file makes the CHM library do stays small: the
// reader cannot grow, spin, open or write anything beyond them.
#include <sys/resource.h>

namespace reader_limits {

// Address space: the library caches a few decompressed blocks of at most a
// few MiB, and an answer is at most 16 MiB (held twice while it is framed).
constexpr rlim_t kAddressSpaceBytes = 256u << 20;
// Processor time over the reader's whole life; a manual's page takes
// milliseconds, the dialog also gives up on one request after a few seconds.
constexpr rlim_t kCpuSeconds = 10;
// Standard input and output (the dialog's socket), standard error, and the manual.
constexpr rlim_t kOpenFiles = 4;

// Closes every descriptor above standard error, then applies the limits
// (and no new privileges); false when one could not be set.
bool applyReaderLimits();

}  // namespace reader_limits
