#include "platform/sdl/single_instance.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/scratch_folder.hpp"

namespace platform {
namespace {

// Runs a second start in a child process: its exit status is the claim's status.
int claimInChild(const std::string& folder, bool crash) {
  const pid_t child = ::fork();
  if (child == 0) {
    SingleInstance::Claim claim = SingleInstance::claim(folder);
    // A crash leaves the socket file behind; only the kernel lets go of the lock.
    if (crash) ::_exit(static_cast<int>(claim.status));
    const int status = static_cast<int>(claim.status);
    claim.instance.reset();
    ::_exit(status);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, ASecondStartAsksTheFirstToRaiseItsWindow) {
  testing_support::ScratchFolder folder;
  SingleInstance::Claim first = SingleInstance::claim(folder.path());
  ASSERT_EQ(first.status, SingleInstance::Status::First);
  ASSERT_TRUE(first.instance);
  EXPECT_FALSE(first.instance->takeRaiseRequest());

  EXPECT_EQ(claimInChild(folder.path(), false), static_cast<int>(SingleInstance::Status::AnotherRunning));
  EXPECT_TRUE(first.instance->takeRaiseRequest());
  EXPECT_FALSE(first.instance->takeRaiseRequest());

  // Two more starts before the first copy looks: one raise is enough.
  EXPECT_EQ(claimInChild(folder.path(), false), static_cast<int>(SingleInstance::Status::AnotherRunning));
  EXPECT_EQ(claimInChild(folder.path(), false), static_cast<int>(SingleInstance::Status::AnotherRunning));
  EXPECT_TRUE(first.instance->takeRaiseRequest());
  EXPECT_FALSE(first.instance->takeRaiseRequest());
}

TEST(SingleInstance, TheLockIsFreeAgainWhenTheFirstCopyEnds) {
  testing_support::ScratchFolder folder;
  {
    SingleInstance::Claim first = SingleInstance::claim(folder.path());
    ASSERT_EQ(first.status, SingleInstance::Status::First);
  }
  EXPECT_EQ(claimInChild(folder.path(), false), static_cast<int>(SingleInstance::Status::First));
}

TEST(SingleInstance, ASocketLeftByACrashDoesNotBlockTheNextStart) {
  testing_support::ScratchFolder folder;
  ASSERT_EQ(claimInChild(folder.path(), true), static_cast<int>(SingleInstance::Status::First));
  struct stat info {};
  ASSERT_EQ(::stat(folder.file("zebrolite.sock").c_str(), &info), 0) << "the crash should leave the socket";

  SingleInstance::Claim next = SingleInstance::claim(folder.path());
  ASSERT_EQ(next.status, SingleInstance::Status::First);
  EXPECT_EQ(claimInChild(folder.path(), false), static_cast<int>(SingleInstance::Status::AnotherRunning));
  EXPECT_TRUE(next.instance->takeRaiseRequest());
}

TEST(SingleInstance, AStrangerOnTheSocketIsNoRaiseRequest) {
  testing_support::ScratchFolder folder;
  SingleInstance::Claim first = SingleInstance::claim(folder.path());
  ASSERT_EQ(first.status, SingleInstance::Status::First);
  const pid_t child = ::fork();
  if (child == 0) {
    // Connects and says something else.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = folder.file("zebrolite.sock");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ::_exit(1);
    const ssize_t n = ::write(fd, "hello\n", 6);
    ::_exit(n == 6 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(first.instance->takeRaiseRequest());
}

TEST(SingleInstance, NoFolderMeansNoCheck) {
  EXPECT_EQ(SingleInstance::claim("").status, SingleInstance::Status::Unavailable);
  EXPECT_EQ(SingleInstance::claim("/nonexistent-zebrolite-folder/").status, SingleInstance::Status::Unavailable);
}

}  // namespace
}  // namespace platform
