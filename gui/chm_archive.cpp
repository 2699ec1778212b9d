#include "chm_archive.h"

#include <chm_lib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

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

int collectFile(chmFile*, chmUnitInfo* unit, void* context) {
  auto* names = static_cast<std::vector<std::string>*>(context);
  const std::string path = unit->path;
  // Directory entries end with '/'; the archive's own records start with "/#" or "/$".
  if (!path.empty() && path.back() != '/' && path.rfind("/#", 0) != 0 && path.rfind("/$", 0) != 0)
    names->push_back(path);
  return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

std::unique_ptr<ChmArchive> ChmArchive::open(const std::string& path, std::string* error) {
  // chmlib does not say why an open failed: tell a missing file from one that
  // is not a compiled help file first.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    *error = std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = "not a regular file";
    return nullptr;
  }
  chmFile* file = chm_open(path.c_str());
  if (file == nullptr) {
    *error = "not a compiled help file, or it cannot be read";
    return nullptr;
  }
  std::unique_ptr<ChmArchive> archive(new ChmArchive(file));
  archive->readSystemRecord();
  return archive;
}

ChmArchive::ChmArchive(chmFile* file) : file_(file) {}

ChmArchive::~ChmArchive() { chm_close(file_); }

bool ChmArchive::contains(const std::string& path) const {
  chmUnitInfo unit{};
  return chm_resolve_object(file_, path.c_str(), &unit) == CHM_RESOLVE_SUCCESS;
}

std::optional<std::string> ChmArchive::read(const std::string& path) const {
  chmUnitInfo unit{};
  if (chm_resolve_object(file_, path.c_str(), &unit) != CHM_RESOLVE_SUCCESS) return std::nullopt;
  std::string content(unit.length, '\0');
  LONGUINT64 done = 0;
  while (done < unit.length) {
    const LONGINT64 got =
        chm_retrieve_object(file_, &unit, reinterpret_cast<unsigned char*>(content.data()) + done,
                            done, unit.length - done);
    if (got <= 0) return std::nullopt;
    done += static_cast<LONGUINT64>(got);
  }
  return content;
}

std::vector<std::string> ChmArchive::files() const {
  std::vector<std::string> names;
  chm_enumerate(file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectFile, &names);
  return names;
}

void ChmArchive::readSystemRecord() {
  // A 4-byte version, then entries of a 16-bit code, a 16-bit length and
  // that many bytes (NUL-terminated text for the entries read here).
  const std::optional<std::string> record = read("/#SYSTEM");
  if (!record) return;
  std::size_t at = 4;
  while (at + 4 <= record->size()) {
    const unsigned code = littleEndian16(*record, at);
    const std::size_t length = littleEndian16(*record, at + 2);
    at += 4;
    if (at + length > record->size()) break;
    std::string text = record->substr(at, length);
    text = text.substr(0, text.find('\0'));
    if (code == kSystemContentsFile) contentsFile_ = withLeadingSlash(text);
    if (code == kSystemDefaultTopic) defaultTopic_ = withLeadingSlash(text);
    if (code == kSystemTitle) title_ = text;
    at += length;
  }
  if (contentsFile_.empty()) {
    for (const std::string& name : files()) {
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".hhc") == 0) {
        contentsFile_ = name;
        break;
      }
    }
  }
}

std::string archivePathOfTopic(const std::string& topic) {
  std::string path = topic.rfind("::", 0) == 0 ? topic.substr(2) : topic;
  const auto fragment = path.find('#');
  if (fragment != std::string::npos) path.resize(fragment);
  return withLeadingSlash(path);
}
