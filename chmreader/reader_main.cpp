// vantiro-chm-reader MANUAL: the help window's reader of a compiled manual.
// The dialog starts it with a socket as standard input and output; it limits
// itself, opens the manual, says whether it could, then answers requests
// until the dialog closes the socket. Only this program links the CHM
// library, so a manual that makes the library misbehave ends this process
// and nothing else.
#include <unistd.h>

#include <cerrno>
#include <string>

#include "chm_requests.h"
#include "reader_limits.h"
#include "reader_protocol.h"

namespace {

bool readExactly(char* buffer, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::read(STDIN_FILENO, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool writeAll(const std::string& bytes) {
  const char* at = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(STDOUT_FILENO, at, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  // The limits come before the manual is opened: nothing of it runs without them.
  if (!reader_limits::applyReaderLimits()) return 3;
  ChmRequests requests;
  const bool opened = requests.open(argv[1]);
  // Nothing is opened by name after this.
  if (chdir("/") != 0) return 3;
  using chm_protocol::AnswerStatus;
  if (!writeAll(chm_protocol::frame(
          chm_protocol::answerBody(opened ? AnswerStatus::kOk : AnswerStatus::kUnreadable))))
    return 1;
  if (!opened) return 1;
  while (const auto body =
             chm_protocol::readFrameBody(readExactly, chm_protocol::kMaxRequestBody)) {
    if (!writeAll(chm_protocol::frame(requests.answer(*body)))) return 1;
  }
  return 0;
}
