#include "tests/support/child_process.hpp"

#include <grp.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

std::string inChild(const std::function<std::string()>& body) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    const std::string text = body();
    const ssize_t written = ::write(pipeFds[1], text.data(), text.size());
    ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  ::close(pipeFds[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) text += "killed by signal " + std::to_string(WTERMSIG(status));
  return text;
}

bool becomeUnprivileged() {
  if (::geteuid() != 0) return true;
  constexpr uid_t kNobody = 65534;
  if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return false;
  // A process that changed its user is no longer dumpable, and its /proc files are root's:
  // an ordinary user's process may read its own.
  return ::prctl(PR_SET_DUMPABLE, 1) == 0;
}

}  // namespace testing_support
