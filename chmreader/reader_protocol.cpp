#include "reader_protocol.h"

namespace chm_protocol {

namespace {

void appendLength(std::string& out, std::uint32_t length) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((length >> shift) & 0xFF);
}

std::uint32_t lengthAt(std::string_view bytes, std::size_t at) {
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i)
    length = length << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return length;
}

// Takes one length-prefixed text from the front of `rest`; none when its
// length is over `limit` or over what is left.
std::optional<std::string_view> takeText(std::string_view& rest, std::size_t limit) {
  if (rest.size() < 4) return std::nullopt;
  const std::uint32_t length = lengthAt(rest, 0);
  rest.remove_prefix(4);
  if (length > limit || length > rest.size()) return std::nullopt;
  const std::string_view text = rest.substr(0, length);
  rest.remove_prefix(length);
  return text;
}

void appendText(std::string& out, std::string_view text) {
  appendLength(out, static_cast<std::uint32_t>(text.size()));
  out += text;
}

}  // namespace

std::string frame(std::string_view body) {
  std::string out;
  out.reserve(4 + body.size());
  appendLength(out, static_cast<std::uint32_t>(body.size()));
  out += body;
  return out;
}

std::optional<std::uint32_t> bodyLength(const unsigned char header[4], std::uint32_t limit) {
  const std::uint32_t length =
      static_cast<std::uint32_t>(header[0]) | static_cast<std::uint32_t>(header[1]) << 8 |
      static_cast<std::uint32_t>(header[2]) << 16 | static_cast<std::uint32_t>(header[3]) << 24;
  if (length == 0 || length > limit) return std::nullopt;
  return length;
}

std::optional<std::string> readFrameBody(const ReadExactly& readExactly, std::uint32_t limit) {
  unsigned char header[4];
  if (!readExactly(reinterpret_cast<char*>(header), sizeof header)) return std::nullopt;
  const std::optional<std::uint32_t> length = bodyLength(header, limit);
  if (!length) return std::nullopt;
  std::string body(*length, '\0');
  if (!readExactly(body.data(), body.size())) return std::nullopt;
  return body;
}

std::string requestBody(RequestKind kind, std::string_view argument) {
  std::string body(1, static_cast<char>(kind));
  body += argument;
  return body;
}

std::optional<Request> parseRequest(std::string_view body) {
  if (body.empty() || body.size() > kMaxRequestBody) return std::nullopt;
  const auto kind = static_cast<RequestKind>(static_cast<unsigned char>(body[0]));
  const std::string_view argument = body.substr(1);
  switch (kind) {
    case RequestKind::kSystemRecord:
    case RequestKind::kFileList:
      if (!argument.empty()) return std::nullopt;
      return Request{kind, argument};
    case RequestKind::kContains:
    case RequestKind::kRead:
      // A path inside the archive: rooted, and a C string for the library.
      if (argument.empty() || argument.front() != '/' ||
          argument.find('\0') != std::string_view::npos)
        return std::nullopt;
      return Request{kind, argument};
  }
  return std::nullopt;
}

std::string answerBody(AnswerStatus status, std::string_view payload) {
  std::string body(1, static_cast<char>(status));
  body += payload;
  return body;
}

std::optional<Answer> parseAnswer(std::string_view body) {
  if (body.empty() || body.size() > kMaxAnswerBody) return std::nullopt;
  const auto status = static_cast<AnswerStatus>(static_cast<unsigned char>(body[0]));
  const std::string_view payload = body.substr(1);
  switch (status) {
    case AnswerStatus::kOk:
      return Answer{status, payload};
    case AnswerStatus::kMissing:
    case AnswerStatus::kTooLarge:
    case AnswerStatus::kUnreadable:
    case AnswerStatus::kBadRequest:
      // Only a file's bytes or a record come with an answer.
      if (!payload.empty()) return std::nullopt;
      return Answer{status, payload};
  }
  return std::nullopt;
}

std::string encodeSystemRecord(const SystemRecord& record) {
  std::string out;
  for (const std::string* text : {&record.defaultTopic, &record.contentsFile, &record.title})
    appendText(out, std::string_view(*text).substr(0, kMaxRecordText));
  return out;
}

std::optional<SystemRecord> decodeSystemRecord(std::string_view payload) {
  SystemRecord record;
  for (std::string* text : {&record.defaultTopic, &record.contentsFile, &record.title}) {
    const std::optional<std::string_view> taken = takeText(payload, kMaxRecordText);
    if (!taken) return std::nullopt;
    *text = std::string(*taken);
  }
  if (!payload.empty()) return std::nullopt;
  return record;
}

std::string encodeFileList(const std::vector<std::string>& names) {
  std::string out;
  const std::size_t count = names.size() < kMaxFiles ? names.size() : kMaxFiles;
  appendLength(out, static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < count; ++i) appendText(out, names[i]);
  return out;
}

std::optional<std::vector<std::string>> decodeFileList(std::string_view payload) {
  if (payload.size() < 4) return std::nullopt;
  const std::uint32_t count = lengthAt(payload, 0);
  payload.remove_prefix(4);
  // Each name takes at least five bytes: a count beyond that is a lie.
  if (count > kMaxFiles || count > payload.size() / 5) return std::nullopt;
  std::vector<std::string> names;
  names.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::optional<std::string_view> name = takeText(payload, kMaxPathBytes);
    if (!name || name->empty()) return std::nullopt;
    names.emplace_back(*name);
  }
  if (!payload.empty()) return std::nullopt;
  return names;
}

}  // namespace chm_protocol
