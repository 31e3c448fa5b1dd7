// One running copy per user. The first copy holds a lock on a file and listens on a Unix
// socket beside it; a second start finds the lock taken, asks the first copy through the
// socket to raise its window, and ends. The kernel drops the lock of a copy that dies, so a
// socket left behind by a crash never blocks the next start.
#pragma once

#include <memory>
#include <string>

namespace platform {

class SingleInstance {
 public:
  enum class Status {
    First,           // this is the running copy; `instance` holds the lock
    AnotherRunning,  // another copy holds the lock; it was asked to raise its window
    Unavailable,     // no usable folder or lock: run without the check
  };
  struct Claim {
    Status status = Status::Unavailable;
    std::unique_ptr<SingleInstance> instance;
  };

  // Claims the running copy in `folder` ("zebrolite.lock" and "zebrolite.sock" in it).
  static Claim claim(const std::string& folder);

  // $XDG_RUNTIME_DIR, else /tmp/zebrolite-UID (made private to the user); empty when neither
  // can be used safely.
  static std::string defaultFolder();

  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another start asked for the window since the last call. Never waits long:
  // it accepts whatever connections are queued and reads their short request.
  bool takeRaiseRequest();

 private:
  SingleInstance(int lockFd, int listenFd, std::string socketPath);

  int lockFd_;
  int listenFd_;
  std::string socketPath_;
};

}  // namespace platform
