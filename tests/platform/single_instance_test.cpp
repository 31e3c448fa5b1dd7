#include "platform/sdl/single_instance.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "tests/support/held_lock.hpp"
#include "tests/support/scratch_folder.hpp"

namespace platform {
namespace {

using Status = SingleInstance::Status;

// A folder for the lock and socket, and two save folders, in one scratch folder.
struct Folders {
  testing_support::ScratchFolder scratch;
  std::string lock = scratch.file("run/");
  std::string save = scratch.file("save/");
  std::string otherSave = scratch.file("other-save/");
  Folders() { ::mkdir(lock.c_str(), 0700); }
};

// Runs a second start in a child process: its exit status is the claim's status.
int claimInChild(const std::string& lockFolder, const std::string& saveFolder, bool crash = false) {
  const pid_t child = ::fork();
  if (child == 0) {
    SingleInstance::Claim claim = SingleInstance::claim(lockFolder, saveFolder);
    // A crash leaves the socket file behind; only the kernel lets go of the locks.
    if (crash) ::_exit(static_cast<int>(claim.status));
    const int status = static_cast<int>(claim.status);
    claim.instance.reset();
    ::_exit(status);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string joined(const std::vector<std::string>& notes) {
  std::string text;
  for (const std::string& note : notes) text += note + "\n";
  return text;
}

TEST(SingleInstance, ASecondStartAsksTheFirstToRaiseItsWindowWhateverItsSaveFolder) {
  Folders folders;
  SingleInstance::Claim first = SingleInstance::claim(folders.lock, folders.save);
  ASSERT_EQ(first.status, Status::First);
  ASSERT_TRUE(first.instance);
  EXPECT_TRUE(first.notes.empty()) << joined(first.notes);
  EXPECT_FALSE(first.instance->takeRaiseRequest());

  EXPECT_EQ(claimInChild(folders.lock, folders.save), static_cast<int>(Status::AnotherRaised));
  EXPECT_TRUE(first.instance->takeRaiseRequest());
  EXPECT_FALSE(first.instance->takeRaiseRequest());

  // Two more starts before the first copy looks: one raise is enough.
  EXPECT_EQ(claimInChild(folders.lock, folders.otherSave), static_cast<int>(Status::AnotherRaised));
  EXPECT_EQ(claimInChild(folders.lock, folders.save), static_cast<int>(Status::AnotherRaised));
  EXPECT_TRUE(first.instance->takeRaiseRequest());
  EXPECT_FALSE(first.instance->takeRaiseRequest());
}

TEST(SingleInstance, TheLocksAreFreeAgainWhenTheFirstCopyEnds) {
  Folders folders;
  {
    SingleInstance::Claim first = SingleInstance::claim(folders.lock, folders.save);
    ASSERT_EQ(first.status, Status::First);
  }
  EXPECT_EQ(claimInChild(folders.lock, folders.save), static_cast<int>(Status::First));
}

TEST(SingleInstance, ASocketLeftByACrashDoesNotBlockTheNextStart) {
  Folders folders;
  ASSERT_EQ(claimInChild(folders.lock, folders.save, true), static_cast<int>(Status::First));
  struct stat info {};
  ASSERT_EQ(::stat((folders.lock + "zebrolite.sock").c_str(), &info), 0) << "the crash should leave the socket";

  SingleInstance::Claim next = SingleInstance::claim(folders.lock, folders.save);
  ASSERT_EQ(next.status, Status::First);
  EXPECT_EQ(claimInChild(folders.lock, folders.save), static_cast<int>(Status::AnotherRaised));
  EXPECT_TRUE(next.instance->takeRaiseRequest());
}

TEST(SingleInstance, AStrangerOnTheSocketIsNoRaiseRequest) {
  Folders folders;
  SingleInstance::Claim first = SingleInstance::claim(folders.lock, folders.save);
  ASSERT_EQ(first.status, Status::First);
  const pid_t child = ::fork();
  if (child == 0) {
    // Connects and says something else.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = folders.lock + "zebrolite.sock";
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

// Whatever keeps the per-user check from working, the save folder still admits one copy, and
// standard error is told why the check is missing.
TEST(SingleInstance, WithoutTheLockFileTheSaveFolderStillAdmitsOnlyOneCopy) {
  struct Case {
    const char* name;
    std::function<std::string(Folders&)> arrange;  // gives the lock folder to claim with
    const char* note;
  };
  const Case cases[] = {
      {"no folder", [](Folders&) { return std::string(); }, "no private folder for the lock file"},
      {"the lock file is a folder",
       [](Folders& f) {
         ::mkdir((f.lock + "zebrolite.lock").c_str(), 0700);
         return f.lock;
       },
       "zebrolite.lock (Is a directory)"},
      {"the lock file is a FIFO",
       [](Folders& f) {
         ::mkfifo((f.lock + "zebrolite.lock").c_str(), 0600);
         return f.lock;
       },
       "zebrolite.lock (not a regular file)"},
      {"the folder is missing", [](Folders& f) { return f.scratch.file("none/"); }, "(No such file or directory)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Folders folders;
    const std::string lockFolder = c.arrange(folders);
    SingleInstance::Claim first = SingleInstance::claim(lockFolder, folders.save);
    ASSERT_EQ(first.status, Status::First);
    ASSERT_EQ(first.notes.size(), 1u);
    EXPECT_NE(first.notes[0].find(c.note), std::string::npos) << first.notes[0];

    SingleInstance::Claim second = SingleInstance::claim(lockFolder, folders.save);
    EXPECT_EQ(second.status, Status::SaveFolderTaken);
    EXPECT_FALSE(second.instance);
    EXPECT_NE(joined(second.notes).find("another copy of the game is using the save folder " + folders.save),
              std::string::npos)
        << joined(second.notes);
    EXPECT_EQ(claimInChild(lockFolder, folders.save), static_cast<int>(Status::SaveFolderTaken));
    EXPECT_EQ(claimInChild(lockFolder, folders.otherSave), static_cast<int>(Status::First));
  }
}

// Another process holds the lock and nobody answers on the socket: refused where it holds the
// save folder too, started with a word where it does not.
TEST(SingleInstance, AnUnansweredLockRefusesOnlyASaveFolderInUse) {
  Folders folders;
  const testing_support::HeldLock stranger(folders.lock + "zebrolite.lock");
  ::mkdir(folders.save.c_str(), 0755);
  {
    const testing_support::HeldLock otherCopy(folders.save, true);
    const SingleInstance::Claim refused = SingleInstance::claim(folders.lock, folders.save);
    EXPECT_EQ(refused.status, Status::SaveFolderTaken);
    EXPECT_NE(joined(refused.notes).find("holds " + folders.lock + "zebrolite.lock but does not answer"),
              std::string::npos)
        << joined(refused.notes);
    EXPECT_NE(joined(refused.notes).find(folders.save + " and does not answer; not starting a second one"),
              std::string::npos)
        << joined(refused.notes);
  }
  const SingleInstance::Claim started = SingleInstance::claim(folders.lock, folders.save);
  EXPECT_EQ(started.status, Status::First);
  EXPECT_NE(joined(started.notes).find("starting all the same"), std::string::npos) << joined(started.notes);
  EXPECT_EQ(claimInChild(folders.lock, folders.save), static_cast<int>(Status::SaveFolderTaken));
}

// A copy that took its own lock (another runtime folder) still finds the save folder in use.
TEST(SingleInstance, TwoLockFoldersStillShareNoSaveFolder) {
  Folders folders;
  Folders elsewhere;
  const SingleInstance::Claim first = SingleInstance::claim(folders.lock, folders.save);
  ASSERT_EQ(first.status, Status::First);
  const SingleInstance::Claim second = SingleInstance::claim(elsewhere.lock, folders.save);
  EXPECT_EQ(second.status, Status::SaveFolderTaken);
  EXPECT_EQ(joined(second.notes).find("does not answer"), std::string::npos) << joined(second.notes);
  // Refused, it left the lock of its own folder free.
  EXPECT_EQ(claimInChild(elsewhere.lock, elsewhere.save), static_cast<int>(Status::First));
}

TEST(SingleInstance, TheSaveFolderIsMadeWhenMissing) {
  Folders folders;
  const std::string deep = folders.scratch.file("a/b/save/");
  const SingleInstance::Claim first = SingleInstance::claim(folders.lock, deep);
  EXPECT_EQ(first.status, Status::First);
  EXPECT_TRUE(first.notes.empty()) << joined(first.notes);
  struct stat info {};
  EXPECT_EQ(::stat(deep.c_str(), &info), 0);
  EXPECT_EQ(claimInChild(folders.lock, deep), static_cast<int>(Status::AnotherRaised));
}

}  // namespace
}  // namespace platform
