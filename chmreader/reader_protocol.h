#pragma once
// The conversation between the dialog and the help reader process: one
// request, one answer, each a frame of a 32-bit little-endian body length
// and that many bytes. A request body is a kind byte and its argument; an
// answer body is a status byte and its payload. Both sides check every
// length against what they received and against the caps below, so neither
// allocates what the other merely declares.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chm_protocol {

// The largest file the reader hands out; a manual's pages and pictures are a
// small fraction of this. Larger entries are refused, not read.
constexpr std::uint32_t kMaxEntryBytes = 16u << 20;
constexpr std::uint32_t kMaxAnswerBody = 1 + kMaxEntryBytes;
// The library's own limit on a path is 512 bytes; a request never needs more.
constexpr std::size_t kMaxPathBytes = 1024;
constexpr std::uint32_t kMaxRequestBody = 1 + kMaxPathBytes;
// Names the file list may hold; a directory that goes on beyond this is cut.
constexpr std::size_t kMaxFiles = 100000;
// Each text of the system record is at most this long (its lengths are 16-bit).
constexpr std::size_t kMaxRecordText = 0xFFFF;

enum class RequestKind : std::uint8_t {
  kSystemRecord = 1,  // no argument; answer: the three texts of SystemRecord
  kFileList = 2,      // no argument; answer: the names
  kContains = 3,      // argument: a path; answer: kOk or kMissing, no payload
  kRead = 4,          // argument: a path; answer: the file's bytes
};

enum class AnswerStatus : std::uint8_t {
  kOk = 0,
  kMissing = 1,     // no such file in the archive
  kTooLarge = 2,    // the file declares more than kMaxEntryBytes
  kUnreadable = 3,  // the archive cannot be read (also the first answer of a reader that
                    // could not open it)
  kBadRequest = 4,
};

struct SystemRecord {
  std::string defaultTopic;
  std::string contentsFile;
  std::string title;
};

struct Request {
  RequestKind kind;
  std::string_view argument;
};

struct Answer {
  AnswerStatus status;
  std::string_view payload;
};

// A frame holding `body`: its length in four bytes, then the body.
std::string frame(std::string_view body);
// The body length a frame's first four bytes announce; none when it is 0 or
// above `limit`.
std::optional<std::uint32_t> bodyLength(const unsigned char header[4], std::uint32_t limit);

// Reads one frame through `readExactly` (true when it filled the buffer) and
// returns its body; none when the stream ended, broke off, or announced a
// body of none or more than `limit` bytes.
using ReadExactly = std::function<bool(char* buffer, std::size_t size)>;
std::optional<std::string> readFrameBody(const ReadExactly& readExactly, std::uint32_t limit);

std::string requestBody(RequestKind kind, std::string_view argument = {});
std::optional<Request> parseRequest(std::string_view body);

std::string answerBody(AnswerStatus status, std::string_view payload = {});
std::optional<Answer> parseAnswer(std::string_view body);

std::string encodeSystemRecord(const SystemRecord& record);
// Exactly three texts, each within kMaxRecordText and within the payload.
std::optional<SystemRecord> decodeSystemRecord(std::string_view payload);

std::string encodeFileList(const std::vector<std::string>& names);
// A count, then that many names; each name non-empty, within kMaxPathBytes
// and within the payload, the count within kMaxFiles, nothing left over.
std::optional<std::vector<std::string>> decodeFileList(std::string_view payload);

}  // namespace chm_protocol
