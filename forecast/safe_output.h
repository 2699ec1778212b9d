#pragma once
#include <string>
#include <vector>

namespace forecast {

// Output files written all or nothing: each file is first written in full to a
// temporary file beside it, and only when every one of them is complete are
// they renamed into place. A failed run therefore leaves earlier outputs as
// they were. Temporary files still held are removed on destruction.
class StagedOutputs {
 public:
  StagedOutputs() = default;
  ~StagedOutputs();
  StagedOutputs(const StagedOutputs&) = delete;
  StagedOutputs& operator=(const StagedOutputs&) = delete;

  // Writes `content` to a temporary file beside `path`.
  bool stage(const std::string& path, const std::string& content, std::string* error);
  // Renames every staged file into place.
  bool commit(std::string* error);

 private:
  struct Staged {
    std::string target;
    std::string temporary;
  };
  std::vector<Staged> staged_;
};

// Reads a whole file; false if it cannot be read.
bool readWholeFile(const std::string& path, std::string* content);

}  // namespace forecast
