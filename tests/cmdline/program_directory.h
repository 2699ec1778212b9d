#pragma once
// Runs VantiroCmdLine for real: a fresh program directory under /tmp holds a
// copy of the program and the libraries it loads (whichever the test wants),
// and serves as the current directory of the run.
#include <sys/types.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace test_support {

struct RunResult {
  bool exited = false;  // ended by returning from main or exit()
  int exitCode = -1;
  int signal = 0;         // the signal that ended it, if one did
  bool timedOut = false;  // killed by the test after its time ran out
  std::string out;        // standard output
  std::string err;        // standard error (sanitizer reports land here)
};

// Called whenever more standard output has arrived, with all of it so far.
// Returning true closes the reading end of standard output, as a reader that
// has seen enough does ("| head"); `afterClose` is then called.
using OutputWatcher = std::function<bool(pid_t, const std::string&)>;
using AfterOutputClosed = std::function<void(pid_t)>;

class ProgramDirectory {
 public:
  struct Contents {
    bool language = true;  // Language.dll
    bool engine = true;    // nnsingle.dll
    bool manual = false;   // a dummy VantiroUserManual.chm, so that the run keeps a log
  };
  explicit ProgramDirectory(Contents contents);
  ProgramDirectory() : ProgramDirectory(Contents{}) {}
  ~ProgramDirectory();
  ProgramDirectory(const ProgramDirectory&) = delete;
  ProgramDirectory& operator=(const ProgramDirectory&) = delete;

  RunResult run(const std::vector<std::string>& arguments, const OutputWatcher& watcher = {},
                const AfterOutputClosed& afterClose = {}, int timeoutMs = 60000) const;

  std::string path(const std::string& name) const { return directory_ + "/" + name; }
  void write(const std::string& name, const std::string& content) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;
  // Names in the directory, the program's own files included.
  std::set<std::string> files() const;
  // Copies a file from the build's program directory under another name.
  void copyFromBin(const std::string& from, const std::string& to) const;

 private:
  std::string directory_;
};

// A description of a run for failure messages.
std::string describe(const RunResult& r);

}  // namespace test_support
