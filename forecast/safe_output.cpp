#include "safe_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace forecast {
namespace {

bool writeAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

StagedOutputs::~StagedOutputs() {
  for (const auto& s : staged_) ::unlink(s.temporary.c_str());
}

bool StagedOutputs::stage(const std::string& path, const std::string& content,
                          std::string* error) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; an output file gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  const bool written = writeAll(fd, content);
  const int savedErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temporary.c_str());
    *error = "cannot write " + path + ": " + std::strerror(written ? errno : savedErrno);
    return false;
  }
  staged_.push_back({path, temporary});
  return true;
}

bool StagedOutputs::commit(std::string* error) {
  bool ok = true;
  for (const auto& s : staged_) {
    if (ok && ::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
      *error = "cannot write " + s.target + ": " + std::strerror(errno);
      ok = false;
    }
    if (!ok) ::unlink(s.temporary.c_str());
  }
  staged_.clear();
  return ok;
}

bool readWholeFile(const std::string& path, std::string* content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  *content = text.str();
  return !in.bad();
}

}  // namespace forecast
