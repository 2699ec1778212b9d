#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct chmFile;

// A compiled help file opened for reading through chmlib. Paths inside it
// start with '/' ("/Vantiro Overview.html").
class ChmArchive {
 public:
  // Opens `path`; on failure returns null and says why in `error`.
  static std::unique_ptr<ChmArchive> open(const std::string& path, std::string* error);
  ~ChmArchive();
  ChmArchive(const ChmArchive&) = delete;
  ChmArchive& operator=(const ChmArchive&) = delete;

  bool contains(const std::string& path) const;
  // The whole file at `path`, or none when it is missing or unreadable.
  std::optional<std::string> read(const std::string& path) const;
  // Every file the archive holds (its own bookkeeping files left out).
  std::vector<std::string> files() const;

  // From the archive's system record: the page it opens at, its contents
  // file and its title, each with a leading '/' where it is a path; empty
  // when the archive does not name one.
  const std::string& defaultTopic() const { return defaultTopic_; }
  const std::string& contentsFile() const { return contentsFile_; }
  const std::string& title() const { return title_; }

 private:
  explicit ChmArchive(chmFile* file);
  void readSystemRecord();

  chmFile* file_;
  std::string defaultTopic_;
  std::string contentsFile_;
  std::string title_;
};

// A path inside the archive for a topic text as a help request gives it
// ("::/a b.html", "/a b.html" or "a b.html"): the leading "::" dropped, a
// leading '/' added, a "#fragment" removed.
std::string archivePathOfTopic(const std::string& topic);
