#pragma once
#include <cstdint>
#include <cstdio>

#include "common/output_sink.h"

// Shows a run's messages on standard output: those at or above the threshold
// (1 in Benchmark runs, which hides the progress lines; 0 otherwise).
class ConsoleSink final : public OutputSink {
 public:
  explicit ConsoleSink(std::uint32_t consoleThreshold) : consoleThreshold_(consoleThreshold) {}
  void write(std::uint32_t level, const char* text) override;

 private:
  std::uint32_t consoleThreshold_;
};

// The same, and copies messages at or above `logThreshold` (errors) into the
// log stream, which it uses but does not own.
class ConsoleLogSink final : public OutputSink {
 public:
  ConsoleLogSink(std::uint32_t consoleThreshold, std::uint32_t logThreshold, std::FILE* log)
      : consoleThreshold_(consoleThreshold), logThreshold_(logThreshold), log_(log) {}
  void write(std::uint32_t level, const char* text) override;

 private:
  std::uint32_t consoleThreshold_;
  std::uint32_t logThreshold_;
  std::FILE* log_;
};
