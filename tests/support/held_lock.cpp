#include "tests/support/held_lock.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace testing_support {

HeldLock::HeldLock(const std::string& path, bool folder)
    : fd_(::open(path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR | O_CREAT) | O_CLOEXEC, 0600)) {
  EXPECT_GE(fd_, 0) << path;
  EXPECT_EQ(::flock(fd_, LOCK_EX | LOCK_NB), 0) << path;
}

HeldLock::~HeldLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace testing_support
