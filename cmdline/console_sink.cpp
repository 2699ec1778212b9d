#include "console_sink.h"

// One formatted call per line: the stream's lock keeps a line whole when the
// interrupt thread writes at the same time as the engine.
void ConsoleSink::write(std::uint32_t level, const char* text) {
  if (level >= consoleThreshold_) {
    std::printf("%s\n", text);
    std::fflush(stdout);
  }
}

void ConsoleLogSink::write(std::uint32_t level, const char* text) {
  if (level >= consoleThreshold_) {
    std::printf("%s\n", text);
    std::fflush(stdout);
  }
  if (level >= logThreshold_) {
    std::fprintf(log_, "%s\n", text);
    std::fflush(log_);
  }
}
