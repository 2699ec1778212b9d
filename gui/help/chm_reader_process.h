#pragma once
// The dialog's end of one help reader process (vantiro-chm-reader): started
// for a manual, spoken to over a socket, and ended when this goes. Every
// answer is awaited for a few seconds at most; a reader that is late, gone or
// talking nonsense is ended at once and stays ended.
#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class ChmReaderProcess {
 public:
  // How long one answer may take; a page of a manual takes milliseconds.
  static constexpr int kAnswerTimeoutMs = 3000;

  // Starts `program` for `manual`; null when it cannot be started, and why in `error`.
  static std::unique_ptr<ChmReaderProcess> start(const std::string& program,
                                                 const std::string& manual, std::string* error);
  ~ChmReaderProcess();
  ChmReaderProcess(const ChmReaderProcess&) = delete;
  ChmReaderProcess& operator=(const ChmReaderProcess&) = delete;

  // The next answer body, waited for within the timeout; none when the reader
  // ended, was late, or announced a body over the protocol's cap (the reader
  // is then ended).
  std::optional<std::string> receive();
  // Sends a request body and returns the answer body, as receive().
  std::optional<std::string> exchange(std::string_view requestBody);

  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

 private:
  ChmReaderProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}
  bool readExactly(char* buffer, std::size_t size, long long deadlineMs);
  void stop();

  pid_t pid_;
  int socket_;
};
