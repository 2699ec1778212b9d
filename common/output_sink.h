#pragma once
#include <cstdint>

// The one channel through which a run talks to its front end. `write` is the
// only virtual function, so it sits in the first vtable slot; the destructor is
// protected and non-virtual because the engine never owns or destroys a sink.
class OutputSink {
 public:
  // level: 0 progress, 1 information, 2 error. `text` is valid only during the call.
  virtual void write(uint32_t level, const char* text) = 0;

 protected:
  ~OutputSink() = default;
};
