// The console program's command line: the input, split at NUL bytes, is the
// argument list. An accepted line names exactly one mode and at most one
// engine option besides double precision.
#include <string>
#include <vector>

#include "cmdline/command_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments{"VantiroCmdLine"};
  std::string current;
  for (std::size_t i = 0; i < size && arguments.size() < 64; ++i) {
    if (data[i] == '\0') {
      arguments.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (!current.empty()) arguments.push_back(current);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  CommandLine line;
  if (!parseCommandLine(static_cast<int>(arguments.size()), argv.data(), &line)) return 0;
  fuzzing::require(line.trainSeen + line.generateSeen + line.benchmarkSeen == 1);
  fuzzing::require(line.nnvec2 + line.sse <= 1 &&
                   !(line.doublePrecision && (line.nnvec2 || line.sse)));
  for (unsigned id : checkCommandLine(line)) fuzzing::require(id >= 2 && id <= 14);
  return 0;
}
