#include "chm_archive.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "chm_reader_process.h"
#include "chmreader/reader_protocol.h"
#include "platform/library_loader.h"

using chm_protocol::AnswerStatus;
using chm_protocol::RequestKind;

namespace {

std::string& readerProgramOverride() {
  static std::string path;
  return path;
}

std::string withLeadingSlash(std::string path) {
  if (!path.empty() && path.front() != '/') path.insert(path.begin(), '/');
  return path;
}

}  // namespace

void ChmArchive::setReaderProgram(std::string path) { readerProgramOverride() = std::move(path); }

std::string ChmArchive::readerProgram() {
  if (!readerProgramOverride().empty()) return readerProgramOverride();
  return programDirectory() + "vantiro-chm-reader";
}

std::unique_ptr<ChmArchive> ChmArchive::open(const std::string& path, std::string* error,
                                             int* systemError) {
  if (systemError != nullptr) *systemError = 0;
  // Tell a missing file from one that is not a compiled help file first;
  // a FIFO or a device is never handed to the reader.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (systemError != nullptr) *systemError = errno;
    *error = std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = "not a regular file";
    return nullptr;
  }
  std::unique_ptr<ChmReaderProcess> reader = ChmReaderProcess::start(readerProgram(), path, error);
  if (!reader) return nullptr;
  // The reader first says whether it opened the file, then the archive's
  // record and its list of files are asked for once.
  std::unique_ptr<ChmArchive> archive(new ChmArchive(std::move(reader)));
  const std::optional<std::string> hello = archive->reader_->receive();
  const auto opened = hello ? chm_protocol::parseAnswer(*hello) : std::nullopt;
  if (!opened || opened->status != AnswerStatus::kOk || !opened->payload.empty()) {
    *error = kDamaged;
    return nullptr;
  }
  const auto record = archive->askFor(RequestKind::kSystemRecord);
  const auto list = archive->askFor(RequestKind::kFileList);
  const auto system = record ? chm_protocol::decodeSystemRecord(*record) : std::nullopt;
  auto names = list ? chm_protocol::decodeFileList(*list) : std::nullopt;
  if (!system || !names) {
    *error = kDamaged;
    return nullptr;
  }
  archive->files_ = std::move(*names);
  // The record's paths are taken only where they can name a file.
  const auto pathOrNothing = [](const std::string& name) {
    return name.size() <= chm_protocol::kMaxPathBytes && name.find('\0') == std::string::npos
               ? name
               : std::string();
  };
  archive->defaultTopic_ = pathOrNothing(withLeadingSlash(system->defaultTopic));
  archive->contentsFile_ = pathOrNothing(withLeadingSlash(system->contentsFile));
  archive->title_ = system->title;
  return archive;
}

ChmArchive::ChmArchive(std::unique_ptr<ChmReaderProcess> reader) : reader_(std::move(reader)) {}

ChmArchive::~ChmArchive() = default;

int ChmArchive::readerPid() const { return reader_ && reader_->running() ? reader_->pid() : 0; }

std::optional<std::string> ChmArchive::ask(const std::string& requestBody) const {
  if (damaged_ || !reader_) return std::nullopt;
  std::optional<std::string> answer = reader_->exchange(requestBody);
  // A frame that is not an answer ends the reader as a late one does.
  if (!answer || !chm_protocol::parseAnswer(*answer)) {
    damaged_ = true;
    reader_.reset();
    return std::nullopt;
  }
  return answer;
}

std::optional<std::string> ChmArchive::askFor(RequestKind kind) const {
  const auto body = ask(chm_protocol::requestBody(kind));
  if (!body) return std::nullopt;
  const auto answer = chm_protocol::parseAnswer(*body);
  if (answer->status != AnswerStatus::kOk) return std::nullopt;
  return std::string(answer->payload);
}

bool ChmArchive::contains(const std::string& path) const {
  // A path the reader would refuse to look up is not in the archive.
  if (path.empty() || path.front() != '/' || path.size() > chm_protocol::kMaxPathBytes ||
      path.find('\0') != std::string::npos)
    return false;
  const auto body = ask(chm_protocol::requestBody(RequestKind::kContains, path));
  if (!body) return false;
  const auto answer = chm_protocol::parseAnswer(*body);
  return answer->status == AnswerStatus::kOk && answer->payload.empty();
}

std::optional<std::string> ChmArchive::read(const std::string& path) const {
  if (path.empty() || path.front() != '/' || path.size() > chm_protocol::kMaxPathBytes ||
      path.find('\0') != std::string::npos)
    return std::nullopt;
  const auto body = ask(chm_protocol::requestBody(RequestKind::kRead, path));
  if (!body) return std::nullopt;
  const auto answer = chm_protocol::parseAnswer(*body);
  switch (answer->status) {
    case AnswerStatus::kOk:
      return std::string(answer->payload);
    case AnswerStatus::kMissing:
    case AnswerStatus::kBadRequest:
      return std::nullopt;
    case AnswerStatus::kTooLarge:
    case AnswerStatus::kUnreadable:
      // An entry larger than any a manual holds, or one the library cannot
      // read: the file is damaged, and nothing more is taken from it.
      damaged_ = true;
      reader_.reset();
      return std::nullopt;
  }
  return std::nullopt;
}

std::string archivePathOfTopic(const std::string& topic) {
  std::string path = topic.rfind("::", 0) == 0 ? topic.substr(2) : topic;
  const auto fragment = path.find('#');
  if (fragment != std::string::npos) path.resize(fragment);
  return withLeadingSlash(path);
}
