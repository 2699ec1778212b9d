// The dialog's reading of the help reader's answers: the input is what a
// broken or hostile reader might send, frame after frame. Each body the
// dialog accepts parses as an answer; a record or a file list it accepts
// stays within the caps and encodes back to the very bytes received.
#include <cstring>
#include <string>
#include <string_view>

#include "chmreader/reader_protocol.h"
#include "fuzz_support.h"

namespace cp = chm_protocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view stream(reinterpret_cast<const char*>(data), size);
  const auto readExactly = [&](char* buffer, std::size_t wanted) {
    if (wanted > stream.size()) return false;
    std::memcpy(buffer, stream.data(), wanted);
    stream.remove_prefix(wanted);
    return true;
  };
  while (const auto body = cp::readFrameBody(readExactly, cp::kMaxAnswerBody)) {
    fuzzing::require(!body->empty() && body->size() <= cp::kMaxAnswerBody);
    const auto answer = cp::parseAnswer(*body);
    if (!answer) continue;
    if (answer->status != cp::AnswerStatus::kOk) {
      fuzzing::require(answer->payload.empty());
      continue;
    }
    if (const auto record = cp::decodeSystemRecord(answer->payload)) {
      for (const std::string* text : {&record->defaultTopic, &record->contentsFile, &record->title})
        fuzzing::require(text->size() <= cp::kMaxRecordText);
      fuzzing::require(cp::encodeSystemRecord(*record) == answer->payload);
    }
    if (const auto names = cp::decodeFileList(answer->payload)) {
      fuzzing::require(names->size() <= cp::kMaxFiles);
      for (const std::string& name : *names)
        fuzzing::require(!name.empty() && name.size() <= cp::kMaxPathBytes);
      fuzzing::require(cp::encodeFileList(*names) == answer->payload);
    }
  }
  return 0;
}
