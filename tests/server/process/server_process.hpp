// A zebrolite-scored process for a test: started on a free loopback port with a database in
// a scratch folder, stopped (and, if need be, killed) when the test ends, however it ends.
// The child is also killed if the test program dies first.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace server_test {

// The built executables, from the test environment.
std::string serverBinary();
std::string gameBinary();

struct ProcessResult {
  int status = -1;  // exit status; -1 when it had to be killed
  std::string out;
  std::string err;
};

// Polls `done` until it holds, at most `timeoutMs`; whether it did.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// Runs a program to its end (at most `timeoutMs`), with extra environment variables. The
// program runs in a process group of its own, which is killed when it ends or times out.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {}, int timeoutMs = 30000);

// Another program running beside a test (nginx), killed when the test ends however it ends.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& errPath);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  bool running();
  // Sends the signal and waits for the end (SIGKILL after `timeoutMs`); as ServerProcess::stop.
  int stop(int signal, int timeoutMs = 15000);

 private:
  pid_t pid_ = -1;
};

class ServerProcess {
 public:
  // Starts the server with `--port 0` and the arguments, and waits until it listens.
  // started() is false when it did not (its standard error says why).
  explicit ServerProcess(const std::string& folder, const std::vector<std::string>& arguments = {});
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool started() const { return port_ != 0; }
  std::uint16_t port() const { return port_; }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::string stderrText() const;
  // The process, for what /proc tells of it (its memory, its open descriptors).
  pid_t pid() const { return pid_; }

  // Sends the signal and waits for the end (SIGKILL after `timeoutMs`); the exit status, or
  // -1 when it ended by a signal.
  int stop(int signal, int timeoutMs = 15000);

 private:
  std::string errPath_;
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace server_test
