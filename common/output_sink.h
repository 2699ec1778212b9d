#pragma once
#include <cstdint>

// The levels a run writes its lines at; a front end shows every level from a
// threshold up.
enum SinkLevel : std::uint32_t { kProgressLevel = 0, kInfoLevel = 1, kErrorLevel = 2 };

// The one channel through which a run talks to its front end. `write` is the
// only virtual function, so it sits in the first vtable slot; the destructor is
// protected and non-virtual because the engine never owns or destroys a sink.
class OutputSink {
 public:
  // level: a SinkLevel. `text` is valid only during the call.
  virtual void write(uint32_t level, const char* text) = 0;

 protected:
  ~OutputSink() = default;
};
