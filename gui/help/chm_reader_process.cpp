#include "chm_reader_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "chmreader/reader_protocol.h"

extern char** environ;

namespace {

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::unique_ptr<ChmReaderProcess> ChmReaderProcess::start(const std::string& program,
                                                          const std::string& manual,
                                                          std::string* error) {
  // A socket rather than pipes: a request sent to a reader that has died
  // fails with EPIPE (MSG_NOSIGNAL) instead of ending the dialog with SIGPIPE.
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    *error = std::strerror(errno);
    return nullptr;
  }
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_adddup2(&files, ends[1], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&files, ends[1], STDOUT_FILENO);
  // The reader starts with default signal handling and nothing blocked,
  // whatever the dialog's threads have set up.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigset_t none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(manual.c_str()), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &files, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  close(ends[1]);
  if (spawned != 0) {
    close(ends[0]);
    *error = "the help reader " + program + " cannot be started: " + std::strerror(spawned);
    return nullptr;
  }
  return std::unique_ptr<ChmReaderProcess>(new ChmReaderProcess(pid, ends[0]));
}

ChmReaderProcess::~ChmReaderProcess() { stop(); }

void ChmReaderProcess::stop() {
  if (pid_ <= 0) return;
  close(socket_);
  socket_ = -1;
  // Killed rather than asked: a reader stuck in the library would not listen.
  kill(pid_, SIGKILL);
  while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

bool ChmReaderProcess::readExactly(char* buffer, std::size_t size, long long deadlineMs) {
  while (size > 0) {
    const long long left = deadlineMs - nowMs();
    if (left <= 0) return false;
    pollfd wait{socket_, POLLIN, 0};
    const int ready = poll(&wait, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = recv(socket_, buffer, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::string> ChmReaderProcess::receive() {
  if (pid_ <= 0) return std::nullopt;
  const long long deadline = nowMs() + kAnswerTimeoutMs;
  std::optional<std::string> body = chm_protocol::readFrameBody(
      [&](char* buffer, std::size_t size) { return readExactly(buffer, size, deadline); },
      chm_protocol::kMaxAnswerBody);
  if (!body) stop();
  return body;
}

std::optional<std::string> ChmReaderProcess::exchange(std::string_view requestBody) {
  if (pid_ <= 0) return std::nullopt;
  const std::string request = chm_protocol::frame(requestBody);
  const char* at = request.data();
  std::size_t left = request.size();
  while (left > 0) {
    const ssize_t n = send(socket_, at, left, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      stop();
      return std::nullopt;
    }
    at += n;
    left -= static_cast<std::size_t>(n);
  }
  return receive();
}
