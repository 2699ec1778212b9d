#pragma once
// A fresh directory under /tmp for one test, removed with its content at the
// end; optionally the current directory for the test's duration.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace test_support {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    char name[] = "/tmp/vantiro-test-XXXXXX";
    if (mkdtemp(name) != nullptr) path_ = name;
  }
  ~ScratchDirectory() {
    if (!previous_.empty()) std::filesystem::current_path(previous_);
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  void enter() {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }

 private:
  std::string path_;
  std::filesystem::path previous_;
};

// Sets (or, given nullptr, removes) an environment variable for the scope.
class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) {
      had_ = true;
      old_ = old;
    }
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  EnvironmentVariable(const char* name, const std::string& value)
      : EnvironmentVariable(name, value.c_str()) {}
  ~EnvironmentVariable() {
    if (had_) {
      setenv(name_.c_str(), old_.c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  EnvironmentVariable(const EnvironmentVariable&) = delete;
  EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

 private:
  std::string name_;
  bool had_ = false;
  std::string old_;
};

inline void writeFile(const std::string& path, const std::string& content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

}  // namespace test_support
