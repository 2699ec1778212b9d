#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/output_sink.h"

class RunWindow;

// A text cut at every line end ("\n", or "\r\n"): each piece before a line
// end, then the rest after the last one, even when that rest is empty.
std::vector<std::string> cutIntoLines(const char* text);

// Shows what a run says in the output list: every level from `listThreshold`
// up (0 for Train and Generate, 1 for Benchmark, which hides progress).
class ListBoxSink : public OutputSink {
 public:
  ListBoxSink(RunWindow& list, std::uint32_t listThreshold)
      : list_(list), listThreshold_(listThreshold) {}
  void write(std::uint32_t level, const char* text) override;

 private:
  RunWindow& list_;
  std::uint32_t listThreshold_;
};

// The list as above, and independently every level from `logThreshold` up
// (errors) as one whole line in the log, which it uses but does not own.
class ListBoxLogSink : public OutputSink {
 public:
  static constexpr std::uint32_t kLogThreshold = kErrorLevel;

  ListBoxLogSink(RunWindow& list, std::uint32_t listThreshold, std::FILE* log)
      : list_(list, listThreshold), log_(log) {}
  void write(std::uint32_t level, const char* text) override;

 private:
  ListBoxSink list_;
  std::uint32_t logThreshold_ = kLogThreshold;
  std::FILE* log_;
};
