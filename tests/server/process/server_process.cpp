#include "tests/server/process/server_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/support/scratch_folder.hpp"

namespace server_test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// fork and exec with standard output and error into files; the child dies with the test.
pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::map<std::string, std::string>& environment, const std::string& outPath,
            const std::string& errPath) {
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  setpgid(0, 0);  // a group of its own, so that whatever it starts can be ended with it
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int none = open("/dev/null", O_RDONLY);
  dup2(none, 0);
  dup2(out, 1);
  dup2(err, 2);
  for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

// Waits up to `timeoutMs` for the child; its exit status, -1 after a signal, -2 if it runs on.
int waitFor(pid_t pid, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int raw = 0;
    const pid_t done = waitpid(pid, &raw, WNOHANG);
    if (done == pid) return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (done < 0 || std::chrono::steady_clock::now() > deadline) return -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int endProcess(pid_t pid, int signal, int timeoutMs) {
  kill(pid, signal);
  int status = waitFor(pid, timeoutMs);
  if (status == -2) {
    kill(pid, SIGKILL);
    status = waitFor(pid, 10000);
    if (status == -2) status = -1;
  }
  return status;
}

int scratchCounter = 0;

}  // namespace

std::string serverBinary() { return testing_support::gameFolder() + "../server/zebrolite-scored"; }
std::string gameBinary() { return testing_support::gameFolder() + "zebrolite"; }

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment, int timeoutMs) {
  const std::string base = "/tmp/zebrolite-run-" + std::to_string(getpid()) + "-" + std::to_string(scratchCounter++);
  ProcessResult result;
  const pid_t pid = spawn(program, arguments, environment, base + ".out", base + ".err");
  result.status = waitFor(pid, timeoutMs);
  // Neither the program nor any helper it started (a browser has several) outlives the run.
  kill(-pid, SIGKILL);
  if (result.status == -2) {
    waitFor(pid, 10000);
    result.status = -1;
  }
  result.out = readFile(base + ".out");
  result.err = readFile(base + ".err");
  unlink((base + ".out").c_str());
  unlink((base + ".err").c_str());
  return result;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& errPath)
    : pid_(spawn(program, arguments, {}, "/dev/null", errPath)) {}

ChildProcess::~ChildProcess() { stop(SIGKILL, 10000); }

bool ChildProcess::running() {
  int raw = 0;
  if (pid_ > 0 && waitpid(pid_, &raw, WNOHANG) == pid_) pid_ = -1;
  return pid_ > 0;
}

int ChildProcess::stop(int signal, int timeoutMs) {
  if (pid_ <= 0) return -1;
  const int status = endProcess(pid_, signal, timeoutMs);
  pid_ = -1;
  return status;
}

ServerProcess::ServerProcess(const std::string& folder, const std::vector<std::string>& arguments)
    : errPath_(folder + "server-" + std::to_string(scratchCounter++) + ".err") {
  std::vector<std::string> all = {"--port", "0"};
  bool hasDatabase = false;
  for (const std::string& argument : arguments) hasDatabase = hasDatabase || argument == "--db";
  if (!hasDatabase) all.insert(all.end(), {"--db", folder + "scores.db"});
  all.insert(all.end(), arguments.begin(), arguments.end());
  pid_ = spawn(serverBinary(), all, {}, "/dev/null", errPath_);
  const std::regex listening("listening on http://127\\.0\\.0\\.1:([0-9]+)");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    std::smatch match;
    const std::string err = stderrText();
    if (std::regex_search(err, match, listening)) {
      port_ = static_cast<std::uint16_t>(std::stoi(match[1]));
      return;
    }
    int raw = 0;
    if (waitpid(pid_, &raw, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

ServerProcess::~ServerProcess() {
  if (pid_ > 0) endProcess(pid_, SIGKILL, 10000);
}

std::string ServerProcess::stderrText() const { return readFile(errPath_); }

int ServerProcess::stop(int signal, int timeoutMs) {
  if (pid_ <= 0) return -1;
  const int status = endProcess(pid_, signal, timeoutMs);
  pid_ = -1;
  port_ = 0;
  return status;
}

}  // namespace server_test
