#include "platform/sdl/single_instance.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr char kRaiseRequest[] = "raise\n";
constexpr int kConnectAttempts = 20;  // the first copy may be between its lock and its listen
constexpr int kConnectRetryMs = 50;
constexpr int kRequestWaitMs = 100;

bool fillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

int listenOn(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(path, address)) return -1;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  // Whatever socket file is there belongs to a copy that no longer holds the lock.
  ::unlink(path.c_str());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void askToRaise(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(path, address)) return;
  for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      const ssize_t written = ::send(fd, kRaiseRequest, sizeof kRaiseRequest - 1, MSG_NOSIGNAL);
      (void)written;
      ::close(fd);
      return;
    }
    const int error = errno;
    ::close(fd);
    if (error != ENOENT && error != ECONNREFUSED && error != EAGAIN) return;
    ::usleep(kConnectRetryMs * 1000);
  }
}

bool readRequest(int fd) {
  char buffer[16] = {};
  std::size_t got = 0;
  while (got < sizeof kRaiseRequest - 1) {
    const ssize_t n = ::recv(fd, buffer + got, sizeof buffer - 1 - got, MSG_DONTWAIT);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0) break;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) break;
    pollfd waiting{fd, POLLIN, 0};
    if (::poll(&waiting, 1, kRequestWaitMs) <= 0) break;
  }
  return std::strncmp(buffer, kRaiseRequest, sizeof kRaiseRequest - 1) == 0;
}

}  // namespace

SingleInstance::Claim SingleInstance::claim(const std::string& folder) {
  Claim result;
  if (folder.empty()) return result;
  const std::string base = folder.back() == '/' ? folder : folder + "/";
  const std::string lockPath = base + "zebrolite.lock";
  const std::string socketPath = base + "zebrolite.sock";
  const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) return result;
  if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(lockFd);
    if (error != EWOULDBLOCK) return result;
    askToRaise(socketPath);
    result.status = Status::AnotherRunning;
    return result;
  }
  // A socket that cannot be opened leaves this copy unreachable, not refused: the lock
  // alone still keeps a second copy from running.
  const int listenFd = listenOn(socketPath);
  result.status = Status::First;
  result.instance.reset(new SingleInstance(lockFd, listenFd, socketPath));
  return result;
}

std::string SingleInstance::defaultFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
    return runtime;
  }
  const std::string folder = "/tmp/zebrolite-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  // In a shared /tmp the folder must be ours and closed to others, or anyone could take the
  // lock first or answer in our place.
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() ||
      (info.st_mode & 077) != 0) {
    return {};
  }
  return folder;
}

SingleInstance::SingleInstance(int lockFd, int listenFd, std::string socketPath)
    : lockFd_(lockFd), listenFd_(listenFd), socketPath_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(socketPath_.c_str());
  }
  ::close(lockFd_);
}

bool SingleInstance::takeRaiseRequest() {
  if (listenFd_ < 0) return false;
  // A poll costs far less than an accept that finds nothing.
  pollfd listening{listenFd_, POLLIN, 0};
  if (::poll(&listening, 1, 0) <= 0) return false;
  bool requested = false;
  while (true) {
    const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (readRequest(client)) requested = true;
    ::close(client);
  }
  return requested;
}

}  // namespace platform
