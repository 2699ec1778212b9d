#include "chm_requests.h"

#include <chm_lib.h>

#include <unordered_set>

#include "chm_layout_check.h"

using chm_protocol::AnswerStatus;
using chm_protocol::RequestKind;

namespace {

// Codes of the entries in the archive's "/#SYSTEM" record.
constexpr unsigned kSystemContentsFile = 0;
constexpr unsigned kSystemDefaultTopic = 2;
constexpr unsigned kSystemTitle = 3;

std::string withLeadingSlash(std::string path) {
  if (!path.empty() && path.front() != '/') path.insert(path.begin(), '/');
  return path;
}

unsigned littleEndian16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// The library walks the directory's pages by the "next" pointer each page
// holds, and a hostile file may point a page at itself or at an earlier one:
// the walk is stopped at the first name seen twice, or after as many entries
// as a list may hold.
struct Enumeration {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  std::size_t visited = 0;
};

int collectFile(chmFile*, chmUnitInfo* unit, void* context) {
  auto* walk = static_cast<Enumeration*>(context);
  if (++walk->visited > chm_protocol::kMaxFiles) return CHM_ENUMERATOR_SUCCESS;
  // The library keeps a path NUL-terminated within its buffer; a hostile one
  // may not be, so it is measured within the buffer.
  std::size_t length = 0;
  while (length < sizeof unit->path && unit->path[length] != '\0') ++length;
  const std::string path(unit->path, length);
  if (!walk->seen.insert(path).second) return CHM_ENUMERATOR_SUCCESS;
  // Directory entries end with '/'; the archive's own records start with "/#" or "/$".
  if (!path.empty() && path.size() <= chm_protocol::kMaxPathBytes && path.front() == '/' &&
      path.back() != '/' && path.rfind("/#", 0) != 0 && path.rfind("/$", 0) != 0)
    walk->names.push_back(path);
  return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

ChmRequests::~ChmRequests() {
  if (file_ != nullptr) chm_close(file_);
}

bool ChmRequests::open(const char* path) {
  std::string why;
  if (!chmLayoutIsSound(path, &why)) return false;
  file_ = chm_open(path);
  return file_ != nullptr;
}

AnswerStatus ChmRequests::read(const std::string& path, std::string* content) {
  chmUnitInfo unit{};
  if (chm_resolve_object(file_, path.c_str(), &unit) != CHM_RESOLVE_SUCCESS)
    return AnswerStatus::kMissing;
  // The length is what the file declares: checked before anything is allocated.
  if (unit.length > chm_protocol::kMaxEntryBytes) return AnswerStatus::kTooLarge;
  content->assign(static_cast<std::size_t>(unit.length), '\0');
  LONGUINT64 done = 0;
  while (done < unit.length) {
    const LONGINT64 got =
        chm_retrieve_object(file_, &unit, reinterpret_cast<unsigned char*>(content->data()) + done,
                            done, static_cast<LONGINT64>(unit.length - done));
    if (got <= 0 || static_cast<LONGUINT64>(got) > unit.length - done)
      return AnswerStatus::kUnreadable;
    done += static_cast<LONGUINT64>(got);
  }
  return AnswerStatus::kOk;
}

std::vector<std::string> ChmRequests::files() {
  if (!listed_) {
    Enumeration walk;
    chm_enumerate(file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectFile, &walk);
    files_ = std::move(walk.names);
    listed_ = true;
  }
  return files_;
}

chm_protocol::SystemRecord ChmRequests::systemRecord() {
  // A 4-byte version, then entries of a 16-bit code, a 16-bit length and
  // that many bytes (NUL-terminated text for the entries read here).
  chm_protocol::SystemRecord result;
  std::string record;
  if (read("/#SYSTEM", &record) == AnswerStatus::kOk) {
    std::size_t at = 4;
    while (at + 4 <= record.size()) {
      const unsigned code = littleEndian16(record, at);
      const std::size_t length = littleEndian16(record, at + 2);
      at += 4;
      if (at + length > record.size()) break;
      std::string text = record.substr(at, length);
      text = text.substr(0, text.find('\0'));
      if (code == kSystemContentsFile) result.contentsFile = withLeadingSlash(text);
      if (code == kSystemDefaultTopic) result.defaultTopic = withLeadingSlash(text);
      if (code == kSystemTitle) result.title = text;
      at += length;
    }
  }
  if (result.contentsFile.empty()) {
    for (const std::string& name : files()) {
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".hhc") == 0) {
        result.contentsFile = name;
        break;
      }
    }
  }
  return result;
}

std::string ChmRequests::answer(std::string_view requestBody) {
  const std::optional<chm_protocol::Request> request = chm_protocol::parseRequest(requestBody);
  if (!request || file_ == nullptr) return chm_protocol::answerBody(AnswerStatus::kBadRequest);
  switch (request->kind) {
    case RequestKind::kSystemRecord:
      return chm_protocol::answerBody(AnswerStatus::kOk,
                                      chm_protocol::encodeSystemRecord(systemRecord()));
    case RequestKind::kFileList:
      return chm_protocol::answerBody(AnswerStatus::kOk, chm_protocol::encodeFileList(files()));
    case RequestKind::kContains: {
      chmUnitInfo unit{};
      const std::string path(request->argument);
      return chm_protocol::answerBody(chm_resolve_object(file_, path.c_str(), &unit) ==
                                              CHM_RESOLVE_SUCCESS
                                          ? AnswerStatus::kOk
                                          : AnswerStatus::kMissing);
    }
    case RequestKind::kRead: {
      std::string content;
      const AnswerStatus status = read(std::string(request->argument), &content);
      if (status != AnswerStatus::kOk) return chm_protocol::answerBody(status);
      return chm_protocol::answerBody(status, content);
    }
  }
  return chm_protocol::answerBody(AnswerStatus::kBadRequest);
}
