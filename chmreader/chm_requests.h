#pragma once
// The help reader's side of the conversation: a compiled manual opened
// through chmlib, and the answer to each request about it. Everything the
// library may do wrong with a hostile file stays in the reader process that
// runs this; what is decided here is what leaves it: no entry larger than the
// protocol's cap is read, and no walk through the archive runs unbounded.
#include <string>
#include <string_view>
#include <vector>

#include "reader_protocol.h"

struct chmFile;

class ChmRequests {
 public:
  ChmRequests() = default;
  ~ChmRequests();
  ChmRequests(const ChmRequests&) = delete;
  ChmRequests& operator=(const ChmRequests&) = delete;

  // Opens the manual at `path`; false when the library cannot.
  bool open(const char* path);
  // The answer body to a request body.
  std::string answer(std::string_view requestBody);

  // The pieces of the answers, for the reader's tests.
  std::vector<std::string> files();
  chm_protocol::SystemRecord systemRecord();

 private:
  // The file at `path`, or the status that says why not.
  chm_protocol::AnswerStatus read(const std::string& path, std::string* content);

  chmFile* file_ = nullptr;
  bool listed_ = false;
  std::vector<std::string> files_;
};
