#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ChmReaderProcess;
namespace chm_protocol {
enum class RequestKind : std::uint8_t;
}

// A compiled help file opened for reading. The CHM library never runs in the
// dialog: a reader process of its own (vantiro-chm-reader) opens the file
// and answers for it. Paths inside it start with '/' ("/Vantiro Overview.html").
//
// A reader that dies, exceeds its limits, is late or answers nonsense makes
// the archive damaged for good: from then on it holds nothing.
class ChmArchive {
 public:
  // Why a damaged help file cannot be used, as the help system reports it.
  static constexpr const char* kDamaged = "not a compiled help file, or it cannot be read";

  // Opens `path`; on failure returns null and says why in `error`, and, when
  // the file could not be looked at, its error number in `systemError`
  // (0 otherwise).
  static std::unique_ptr<ChmArchive> open(const std::string& path, std::string* error,
                                          int* systemError = nullptr);
  ~ChmArchive();
  ChmArchive(const ChmArchive&) = delete;
  ChmArchive& operator=(const ChmArchive&) = delete;

  bool contains(const std::string& path) const;
  // The whole file at `path`, or none when it is missing, larger than a
  // manual's file can be, or unreadable.
  std::optional<std::string> read(const std::string& path) const;
  // Every file the archive holds (its own bookkeeping files left out).
  std::vector<std::string> files() const { return files_; }

  // From the archive's system record: the page it opens at, its contents
  // file and its title, each with a leading '/' where it is a path; empty
  // when the archive does not name one.
  const std::string& defaultTopic() const { return defaultTopic_; }
  const std::string& contentsFile() const { return contentsFile_; }
  const std::string& title() const { return title_; }

  // True once the reader failed: the help file is damaged.
  bool damaged() const { return damaged_; }
  // The reader process, while it runs (for tests); 0 once it has ended.
  int readerPid() const;

  // The reader program; by default vantiro-chm-reader in the program's own
  // directory. Tests, whose programs live elsewhere, name the built one.
  static void setReaderProgram(std::string path);
  static std::string readerProgram();

 private:
  explicit ChmArchive(std::unique_ptr<ChmReaderProcess> reader);
  // One exchange; none when the reader failed, which marks the archive damaged.
  std::optional<std::string> ask(const std::string& requestBody) const;
  // The payload of a successful answer to a request without argument.
  std::optional<std::string> askFor(chm_protocol::RequestKind kind) const;

  mutable std::unique_ptr<ChmReaderProcess> reader_;
  mutable bool damaged_ = false;
  std::vector<std::string> files_;
  std::string defaultTopic_;
  std::string contentsFile_;
  std::string title_;
};

// A path inside the archive for a topic text as a help request gives it
// ("::/a b.html", "/a b.html" or "a b.html"): the leading "::" dropped, a
// leading '/' added, a "#fragment" removed.
std::string archivePathOfTopic(const std::string& topic);
