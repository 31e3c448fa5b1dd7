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

#include "platform/files.hpp"

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

// True when the request reached a listening copy.
bool askToRaise(const std::string& path) {
  sockaddr_un address{};
  if (!fillAddress(path, address)) return false;
  for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      const ssize_t written = ::send(fd, kRaiseRequest, sizeof kRaiseRequest - 1, MSG_NOSIGNAL);
      ::close(fd);
      return written == static_cast<ssize_t>(sizeof kRaiseRequest - 1);
    }
    const int error = errno;
    ::close(fd);
    if (error != ENOENT && error != ECONNREFUSED && error != EAGAIN) return false;
    ::usleep(kConnectRetryMs * 1000);
  }
  return false;
}

struct Lock {
  enum class Result { Taken, Held, Failed };
  Result result = Result::Failed;
  int fd = -1;
  std::string reason;  // why it failed, in the system's words
};

// An exclusive flock on `path`, taken without waiting. The lock file must be a regular file;
// a folder is locked as itself (flock works on a folder's descriptor and leaves no file in it).
Lock takeLock(const std::string& path, bool folder) {
  Lock lock;
  const int flags = folder ? O_RDONLY | O_DIRECTORY : O_RDWR | O_CREAT;
  lock.fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
  if (lock.fd < 0) {
    lock.reason = std::strerror(errno);
    return lock;
  }
  struct stat info {};
  if (!folder && (::fstat(lock.fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    lock.reason = "not a regular file";
  } else if (::flock(lock.fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    lock.reason = std::strerror(error);
    if (error == EWOULDBLOCK) lock.result = Lock::Result::Held;
  } else {
    lock.result = Lock::Result::Taken;
    return lock;
  }
  ::close(lock.fd);
  lock.fd = -1;
  return lock;
}

// The per-user lock and its socket, or why they could not be had (in `notes`).
struct PerUserLock {
  Lock lock;
  int listenFd = -1;
  std::string socketPath;
  bool raised = false;      // another copy holds the lock and was asked to raise its window
  bool unanswered = false;  // another process holds the lock, and nobody answers its socket
};

PerUserLock claimPerUserLock(const std::string& folder, std::vector<std::string>& notes) {
  PerUserLock user;
  if (folder.empty()) {
    notes.push_back("no private folder for the lock file: a second start will not find this copy");
    return user;
  }
  const std::string base = folder.back() == '/' ? folder : folder + "/";
  const std::string lockPath = base + "zebrolite.lock";
  user.socketPath = base + "zebrolite.sock";
  user.lock = takeLock(lockPath, false);
  if (user.lock.result == Lock::Result::Held) {
    user.raised = askToRaise(user.socketPath);
    user.unanswered = !user.raised;
    if (user.unanswered) notes.push_back("another process holds " + lockPath + " but does not answer");
  } else if (user.lock.result == Lock::Result::Failed) {
    notes.push_back("cannot take " + lockPath + " (" + user.lock.reason + "): a second start will not find this copy");
  } else {
    // A socket that cannot be opened leaves this copy unreachable, not refused: the locks
    // alone still keep a second copy from running.
    user.listenFd = listenOn(user.socketPath);
  }
  return user;
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

SingleInstance::Claim SingleInstance::claim(const std::string& lockFolder, const std::string& saveFolder) {
  Claim result;
  const PerUserLock user = claimPerUserLock(lockFolder, result.notes);
  if (user.raised) {
    result.status = Status::AnotherRaised;
    return result;
  }
  makeFolders(saveFolder);
  const Lock save = takeLock(saveFolder, true);
  result.instance.reset(new SingleInstance(user.lock.fd, user.listenFd, user.socketPath, save.fd));
  if (save.result == Lock::Result::Held) {
    result.status = Status::SaveFolderTaken;
    result.instance.reset();
    result.notes.push_back(std::string("another copy of the game is using the save folder ") + saveFolder +
                           (user.unanswered ? " and does not answer" : "") + "; not starting a second one");
  } else if (save.result == Lock::Result::Failed) {
    result.notes.push_back("cannot lock the save folder " + saveFolder + " (" + save.reason + ")");
  } else if (user.unanswered) {
    result.notes.push_back("starting all the same, since no other copy uses the save folder " + saveFolder);
  }
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

SingleInstance::SingleInstance(int lockFd, int listenFd, std::string socketPath, int saveFolderFd)
    : lockFd_(lockFd), listenFd_(listenFd), socketPath_(std::move(socketPath)), saveFolderFd_(saveFolderFd) {}

SingleInstance::~SingleInstance() {
  // The socket file goes while the lock is still held, so that it never removes the socket
  // of a copy that has just taken over.
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(socketPath_.c_str());
  }
  if (lockFd_ >= 0) ::close(lockFd_);
  if (saveFolderFd_ >= 0) ::close(saveFolderFd_);
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
