#include "program_directory.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace test_support {

namespace fs = std::filesystem;

ProgramDirectory::ProgramDirectory(Contents contents) {
  char name[] = "/tmp/vantiro-cli-XXXXXX";
  if (mkdtemp(name) == nullptr) return;
  directory_ = name;
  copyFromBin("VantiroCmdLine", "VantiroCmdLine");
  if (contents.language) copyFromBin("Language.dll", "Language.dll");
  if (contents.engine) copyFromBin("nnsingle.dll", "nnsingle.dll");
  if (contents.manual) write("VantiroUserManual.chm", "not a real help file\n");
}

ProgramDirectory::~ProgramDirectory() {
  std::error_code ignored;
  if (!directory_.empty()) fs::remove_all(directory_, ignored);
}

void ProgramDirectory::copyFromBin(const std::string& from, const std::string& to) const {
  fs::copy_file(std::string(VANTIRO_BIN_DIR) + "/" + from, path(to),
                fs::copy_options::overwrite_existing);
}

void ProgramDirectory::write(const std::string& name, const std::string& content) const {
  std::ofstream(path(name), std::ios::binary) << content;
}

std::string ProgramDirectory::read(const std::string& name) const {
  std::ifstream in(path(name), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool ProgramDirectory::exists(const std::string& name) const { return fs::exists(path(name)); }

std::set<std::string> ProgramDirectory::files() const {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory_))
    names.insert(entry.path().filename().string());
  return names;
}

RunResult ProgramDirectory::run(const std::vector<std::string>& arguments,
                                const OutputWatcher& watcher, const AfterOutputClosed& afterClose,
                                int timeoutMs) const {
  RunResult result;
  int out[2];
  int err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;

  const std::string program = path("VantiroCmdLine");
  std::vector<std::string> argStorage = {program};
  argStorage.insert(argStorage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argStorage) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Only the system directories on PATH: no help file elsewhere may place a log.
  std::vector<std::string> envStorage = {"PATH=/usr/bin:/bin"};
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "PATH=", 5) != 0) envStorage.emplace_back(*e);
  }
  std::vector<char*> envp;
  for (std::string& e : envStorage) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    if (chdir(directory_.c_str()) != 0) _exit(126);
    signal(SIGINT, SIG_DFL);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  if (pid < 0) {
    close(out[0]);
    close(err[0]);
    return result;
  }

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, static_cast<int>(left.count())) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char chunk[4096];
      const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
        continue;
      }
      (i == 0 ? result.out : result.err).append(chunk, static_cast<std::size_t>(n));
      if (i == 0 && watcher && watcher(pid, result.out)) {
        close(fds[0].fd);
        fds[0].fd = -1;
        --open;
        if (afterClose) afterClose(pid);
      }
    }
  }
  for (const pollfd& f : fds) {
    if (f.fd >= 0) close(f.fd);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) {
    result.exited = true;
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}

std::string describe(const RunResult& r) {
  std::ostringstream text;
  if (r.timedOut) text << "timed out; ";
  if (r.exited) {
    text << "exit code " << r.exitCode;
  } else {
    text << "ended by signal " << r.signal;
  }
  text << "\n--- stdout ---\n"
       << r.out.substr(0, 4000) << "\n--- stderr ---\n"
       << r.err.substr(0, 4000);
  return text.str();
}

}  // namespace test_support
