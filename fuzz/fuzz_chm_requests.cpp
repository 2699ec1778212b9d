// The help reader's request handling over the CHM library, on an arbitrary
// file as the manual: what the reader process does for the help window. The
// record, the file list, then each listed file looked up and read; every
// answer is one the dialog accepts, and no file is larger than the cap.
//
// The library itself is not instrumented, and memory faults inside it are
// why it runs in a process of its own; this target finds the faults of the
// reader's own code and of what it hands back.
#include <string>

#include "chmreader/chm_requests.h"
#include "chmreader/reader_protocol.h"
#include "fuzz_support.h"

namespace cp = chm_protocol;

namespace {

// A manual's answer as the dialog checks it.
cp::Answer accepted(const std::string& body) {
  const auto answer = cp::parseAnswer(body);
  fuzzing::require(answer.has_value());
  return *answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::MemoryFile manual(data, size);
  ChmRequests requests;
  if (!requests.open(manual.path())) {
    fuzzing::require(
        accepted(requests.answer(cp::requestBody(cp::RequestKind::kFileList))).status ==
        cp::AnswerStatus::kBadRequest);
    return 0;
  }
  const std::string recordBody = requests.answer(cp::requestBody(cp::RequestKind::kSystemRecord));
  const cp::Answer record = accepted(recordBody);
  fuzzing::require(record.status == cp::AnswerStatus::kOk &&
                   cp::decodeSystemRecord(record.payload).has_value());
  const std::string listBody = requests.answer(cp::requestBody(cp::RequestKind::kFileList));
  const cp::Answer list = accepted(listBody);
  const auto names = cp::decodeFileList(list.payload);
  fuzzing::require(list.status == cp::AnswerStatus::kOk && names.has_value());
  // A bounded number of files: each read may decompress up to the cap.
  std::size_t tried = 0;
  for (const std::string& name : *names) {
    if (++tried > 16) break;
    const cp::Answer found =
        accepted(requests.answer(cp::requestBody(cp::RequestKind::kContains, name)));
    fuzzing::require(found.payload.empty());
    const std::string readBody = requests.answer(cp::requestBody(cp::RequestKind::kRead, name));
    const cp::Answer read = accepted(readBody);
    fuzzing::require(read.payload.size() <= cp::kMaxEntryBytes);
  }
  // Requests the dialog never sends are refused, not served.
  fuzzing::require(accepted(requests.answer(std::string("\x04relative", 9))).status ==
                   cp::AnswerStatus::kBadRequest);
  fuzzing::require(accepted(requests.answer(std::string("\x07", 1))).status ==
                   cp::AnswerStatus::kBadRequest);
  return 0;
}
