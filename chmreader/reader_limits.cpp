#include "reader_limits.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

namespace reader_limits {

namespace {

bool limit(int resource, rlim_t value) {
  const rlimit both{value, value};
  return setrlimit(resource, &both) == 0;
}

// AddressSanitizer reserves terabytes of shadow memory up front: under it
// the address-space limit would stop the reader before it starts.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

}  // namespace

bool applyReaderLimits() {
  // Whatever the dialog had open without close-on-exec is not the reader's.
  if (close_range(3, ~0u, 0) != 0) {
    for (int fd = 3; fd < 1024; ++fd) close(fd);
  }
  // No file may be written: a write to a regular file then fails instead of
  // killing the reader (standard error may be a file).
  std::signal(SIGXFSZ, SIG_IGN);
  bool all = prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
  all = limit(RLIMIT_CORE, 0) && all;
  all = limit(RLIMIT_FSIZE, 0) && all;
  all = limit(RLIMIT_CPU, kCpuSeconds) && all;
  all = limit(RLIMIT_NOFILE, kOpenFiles) && all;
  if (!kUnderAddressSanitizer) all = limit(RLIMIT_AS, kAddressSpaceBytes) && all;
  return all;
}

}  // namespace reader_limits
