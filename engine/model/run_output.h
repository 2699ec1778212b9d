#pragma once
#include <cstdarg>
#include <cstdint>

#include "common/catalog_message.h"
#include "common/output_sink.h"

namespace engine {

// The run's one message buffer: formats a numbered message and hands it to the sink.
class RunOutput {
 public:
  RunOutput(OutputSink* sink, void* languageModule)
      : sink_(sink), languageModule_(languageModule) {}
  RunOutput(const RunOutput&) = delete;
  RunOutput& operator=(const RunOutput&) = delete;

  void say(std::uint32_t level, unsigned id, ...) {
    va_list args;
    va_start(args, id);
    vformatCatalogMessage(languageModule_, buffer_, id, args);
    va_end(args);
    if (sink_ != nullptr) sink_->write(level, buffer_);
  }

 private:
  OutputSink* sink_;
  void* languageModule_;
  char buffer_[kMessageBufferSize];
};

}  // namespace engine
