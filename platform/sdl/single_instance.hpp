// One running copy per user, and never two on one save folder. The first copy holds a lock on
// a file and listens on a Unix socket beside it; a second start finds the lock taken, asks the
// first copy through the socket to raise its window, and ends. Every copy also locks its save
// folder itself, so that even when the per-user lock cannot be had (the lock file is a folder,
// no private folder exists, a stranger holds it) two copies never write the same files. The
// kernel drops the locks of a copy that dies, so a socket left behind by a crash never blocks
// the next start.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

class SingleInstance {
 public:
  enum class Status {
    First,            // this copy runs: `instance` holds the save folder and, where it could, the lock
    AnotherRaised,    // another copy holds the lock and was asked to raise its window: end with 0
    SaveFolderTaken,  // another copy, which could not be reached, uses the save folder: do not start
  };
  struct Claim {
    Status status = Status::First;
    std::unique_ptr<SingleInstance> instance;
    // Lines for standard error: why the per-user check could not be made, or why the game
    // does not start. None when all went as usual.
    std::vector<std::string> notes;
  };

  // Claims the running copy in `lockFolder` ("zebrolite.lock" and "zebrolite.sock" in it;
  // empty for none) and the save folder `saveFolder` (created if missing). A copy that holds
  // the lock and answers on the socket is raised, whatever its save folder.
  static Claim claim(const std::string& lockFolder, const std::string& saveFolder);

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
  SingleInstance(int lockFd, int listenFd, std::string socketPath, int saveFolderFd);

  int lockFd_;       // -1 without the per-user lock
  int listenFd_;     // -1 when unreachable
  std::string socketPath_;
  int saveFolderFd_;  // -1 when the save folder could not be locked
};

}  // namespace platform
