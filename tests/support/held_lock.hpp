// What another program holding a lock looks like to the game: an exclusive flock on a file or
// a folder, taken when the object is made and let go when it goes.
#pragma once

#include <string>

namespace testing_support {

class HeldLock {
 public:
  // `folder`: the path is a folder, locked as itself; otherwise a file, created if missing.
  explicit HeldLock(const std::string& path, bool folder = false);
  ~HeldLock();
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;

 private:
  int fd_;
};

}  // namespace testing_support
