// The player's files: one that is there but cannot be read is never written over, and a save
// that is lost is told, on standard error and in a message box, and remembered for the exit
// status.
#include "shell/player_files.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/message_box.hpp"
#include "shell/process_state.hpp"
#include "tests/support/child_process.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace shell_test {
namespace {

namespace fs = std::filesystem;
using shell::PlayerFile;

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew = {'n', 'e', 'w', '!'};

class PlayerFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::resetProcessState();
    platform::setSaveFolder(save_.path());
    platform::setMessageBoxHandler([this](std::string_view text, std::string_view caption) {
      boxes_ += std::string(text) + " | " + std::string(caption) + "\n";
    });
  }
  void TearDown() override {
    platform::setMessageBoxHandler({});
    shell::resetProcessState();
  }

  std::string path(PlayerFile file) const { return save_.file(std::string(shell::fileName(file))); }

  // Standard error and the message boxes of `body`, in that order.
  std::string told(const std::function<void()>& body) {
    boxes_.clear();
    ::testing::internal::CaptureStderr();
    body();
    return ::testing::internal::GetCapturedStderr() + boxes_;
  }

  testing_support::ScratchFolder save_;
  std::string boxes_;
};

TEST_F(PlayerFilesTest, AMissingFileIsTheFirstRunCreatedEmptyAndSavedWithoutAWord) {
  for (const PlayerFile file : {PlayerFile::SavedGame, PlayerFile::ScoreTable}) {
    const std::string said = told([&] {
      const platform::FileRead read = shell::readPlayerFile(file, 100);
      EXPECT_TRUE(read.opened && !read.readFailed && read.bytes.empty());
      EXPECT_EQ(fs::file_size(path(file)), 0u);
      EXPECT_TRUE(shell::savePlayerFile(file, kNew));
    });
    EXPECT_EQ(said, "");
    EXPECT_EQ(testing_support::readBytes(path(file)), kNew);
  }
  EXPECT_FALSE(shell::anySaveLost());
}

// Whatever keeps a file from being read, the file is left exactly as it was found: read at
// start (the score table) or never read before the save (the saved game, until a game is
// continued).
struct Unreadable {
  const char* name;
  std::function<void(const std::string& path)> make;
  std::string reason;
  std::function<bool(const std::string& path)> unchanged;
};

bool isFifo(const std::string& path) { return fs::is_fifo(fs::symlink_status(path)); }

const std::vector<Unreadable>& unreadableFiles() {
  static const std::vector<Unreadable> cases = {
      {"a FIFO", [](const std::string& p) { ::mkfifo(p.c_str(), 0666); }, "not a regular file", isFifo},
      {"a folder", [](const std::string& p) { fs::create_directory(p); }, std::strerror(EISDIR),
       [](const std::string& p) { return fs::is_directory(fs::symlink_status(p)) && fs::is_empty(p); }},
      // Reading /proc/PID/mem at offset 0 fails with an I/O error, as a bad disk block does.
      {"an I/O error", [](const std::string& p) { fs::create_symlink("/proc/self/mem", p); }, std::strerror(EIO),
       [](const std::string& p) { return fs::is_symlink(p) && fs::read_symlink(p) == "/proc/self/mem"; }},
      {"no permission to read",
       [](const std::string& p) {
         testing_support::writeBytes(p, kOld);
         ::chmod(p.c_str(), 0);
       },
       std::strerror(EACCES),
       [](const std::string& p) {
         ::chmod(p.c_str(), 0600);
         return testing_support::readBytes(p) == kOld;
       }},
  };
  return cases;
}

TEST_F(PlayerFilesTest, AFileThatIsThereButCannotBeReadIsNeverWrittenOver) {
  // The permission is only a barrier below root: the body runs as an unprivileged user.
  ::chmod(save_.path().c_str(), 0777);
  for (const Unreadable& c : unreadableFiles()) {
    for (const PlayerFile file : {PlayerFile::SavedGame, PlayerFile::ScoreTable}) {
      for (const bool readFirst : {true, false}) {
        const std::string p = path(file);
        c.make(p);
        const std::string result = testing_support::inChild([&] {
          if (!testing_support::becomeUnprivileged()) return std::string("skip: cannot drop root");
          std::string text;
          if (readFirst) {
            text += told([&] { text += shell::readPlayerFile(file, 100).unreadable() ? "unreadable; " : "read; "; });
          }
          text += told([&] { text += shell::savePlayerFile(file, kNew) ? "saved; " : "not saved; "; });
          text += told([&] { shell::savePlayerFile(file, kNew); });  // told once
          return text + (shell::anySaveLost() ? "lost" : "not lost");
        });
        const std::string read = "zebrolite: cannot read " + p + " (" + c.reason +
                                 "); going on without it, and it will not be written over\n";
        const std::string kept = readFirst ? p + " was not saved: it could not be read (" + c.reason + ")"
                                           : p + " was not saved: the file there cannot be read (" + c.reason + ")";
        const std::string expected = (readFirst ? "unreadable; " + read : std::string()) + "not saved; zebrolite: " +
                                     kept + ", so it is left as it was\n" + kept + ", so it is left as it was. | Zebrolite\nlost";
        if (!result.starts_with("skip:")) {
          EXPECT_EQ(result, expected) << c.name << ", " << p;
        }
        EXPECT_TRUE(c.unchanged(p)) << c.name << ", " << p;
        fs::remove(p);
      }
    }
  }
}

// A failed write keeps the old file and says why; the same failure again is not told again,
// until a save has gone through.
TEST_F(PlayerFilesTest, AFailedSaveKeepsTheOldFileAndIsToldOnceForEachNewProblem) {
  const std::string p = path(PlayerFile::ScoreTable);
  testing_support::writeBytes(p, kOld);
  const std::vector<std::uint8_t> large(1 << 16, 7);
  const std::string result = testing_support::inChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string text = told([&] { shell::savePlayerFile(PlayerFile::ScoreTable, large); });
    text += told([&] { shell::savePlayerFile(PlayerFile::ScoreTable, large); });
    text += testing_support::readBytes(p) == kOld ? "old file kept; " : "old file lost; ";
    text += told([&] { text += shell::savePlayerFile(PlayerFile::ScoreTable, kNew) ? "saved; " : "not saved; "; });
    text += told([&] { shell::savePlayerFile(PlayerFile::ScoreTable, large); });
    return text + (shell::anySaveLost() ? "lost" : "not lost");
  });
  const std::string failure = "could not save " + p + " (" + std::strerror(EFBIG) + "); the old file is kept";
  const std::string toldOnce = "zebrolite: " + failure + "\nC" + failure.substr(1) + ". | Zebrolite\n";
  EXPECT_EQ(result, toldOnce + "old file kept; saved; " + toldOnce + "lost");
}

}  // namespace
}  // namespace shell_test
