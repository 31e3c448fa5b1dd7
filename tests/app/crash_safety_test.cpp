// The player's files under the worst a desktop does to a game: killed with SIGKILL at any
// moment of saving, a full disk, a folder that may not be written. Afterwards each file is
// exactly its old or exactly its new version, never torn and never missing, and a save that
// could not be made is told.
//
// ZEBROLITE_CRASH_KILLS sets the number of kills (`make crash-test` runs thousands); the
// figures are printed at the end and recorded in docs/reliability.md.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// From the cover to the options, where the music is switched on (the score file changes),
// back to the menu and on to the continued game's level picture with a new score (the saved
// game changes). The hash line is the signal: the script ends after it, and the game saves.
constexpr const char* kScript =
    "seed 1\ntick 60\nkey RETURN\ntick 60\nkey DOWN\nkey DOWN\nkey RETURN\ntick 60\n"
    "key RETURN\nkey DOWN\nkey DOWN\nkey DOWN\nkey RETURN\ntick 60\n"
    "key UP\nkey RETURN\ntick 60\nscore 777000\nhash\n";

// Level 2, 2 lives, 500 points.
const Bytes kOldGame = {2, 0, 0, 0, 2, 0, 0, 0, 0xF4, 0x01, 0, 0};

// A full table of the player's own: music off, sound on, "OLD" with 100 .. 1 points.
Bytes oldScores() {
  Bytes bytes = {0, 1};
  for (std::uint32_t i = 0; i < 100; ++i) {
    bytes.insert(bytes.end(), {0, 0, 'O', 0, 'L', 0, 'D', 0});
    bytes.insert(bytes.end(), 12, 0);
    const std::uint32_t score = 100 - i;
    for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<std::uint8_t>(score >> (8 * b)));
    bytes.insert(bytes.end(), 8, 0);
  }
  return bytes;
}

// A game folder of the level file alone: pictures and sounds only slow the start down, and
// what is saved does not depend on them.
struct Folders {
  testing_support::ScratchFolder scratch;
  std::string data = scratch.file("data/");
  std::string save = scratch.file("save/");
  std::string script = scratch.file("save.zs");
  Folders() {
    fs::create_directory(data);
    fs::create_directory(save);
    fs::create_symlink(testing_support::gameFolder() + "BrickMap.dat", data + "BrickMap.dat");
    std::ofstream(script) << kScript;
  }
  std::vector<std::string> arguments() const {
    return {"--headless", "--script", script, "--data", data, "--save-dir", save};
  }
  void putOldFiles() const {
    for (const auto& entry : fs::directory_iterator(save)) fs::remove_all(entry.path());
    testing_support::writeBytes(save + "AutoSave.dat", kOldGame);
    testing_support::writeBytes(save + "ScoreList.sav", oldScores());
  }
};

// A game started with its standard output on a pipe, killed when the object goes.
class SavingGame {
 public:
  explicit SavingGame(const Folders& folders) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    const int err = ::open(folders.scratch.file("err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = testing_support::startGame(folders.arguments(), fds[1], err);
    ::close(fds[1]);
    ::close(err);
    out_ = fds[0];
  }
  ~SavingGame() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  SavingGame(const SavingGame&) = delete;
  SavingGame& operator=(const SavingGame&) = delete;

  // Waits (10 s at most) for the line the script prints before it ends and the game saves.
  bool waitForTheSave() {
    for (char c = 0; c != '\n';) {
      pollfd ready{out_, POLLIN, 0};
      if (::poll(&ready, 1, 10000) != 1 || ::read(out_, &c, 1) != 1) return false;
    }
    return true;
  }
  void kill() { ::kill(pid_, SIGKILL); }
  // True when the game ended by itself, before any kill.
  bool finishedByItself() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reaped_ = true;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  bool reaped_ = false;
};

std::string versionOf(const std::string& path, const Bytes& old, const Bytes& fresh) {
  if (!fs::exists(path)) return "missing";
  const Bytes now = testing_support::readBytes(path);
  return now == old ? "old" : now == fresh ? "new" : "torn";
}

int leftTemporaries(const std::string& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (name != "AutoSave.dat" && name != "ScoreList.sav") ++count;
  }
  return count;
}

// A few hundred by default; fewer in the sanitizer build, whose every start costs several
// times as much and adds nothing to what a kill can show.
int killsToMake() {
  const char* kills = std::getenv("ZEBROLITE_CRASH_KILLS");
  if (kills != nullptr && std::atoi(kills) > 0) return std::atoi(kills);
#if defined(__SANITIZE_ADDRESS__)
  return 60;
#else
  return 300;
#endif
}

TEST(CrashSafety, KilledAtAnyMomentOfSavingEachFileIsItsOldOrItsNewVersion) {
  Folders folders;
  // Reference runs: the new versions, and how long the game takes from the signal line to
  // its end (the median of a few runs), across which the kills fall.
  std::vector<Clock::duration> takes;
  Bytes newGame;
  Bytes newScores;
  for (int run = 0; run < 7; ++run) {
    folders.putOldFiles();
    SavingGame game(folders);
    ASSERT_TRUE(game.waitForTheSave());
    const Clock::time_point signalled = Clock::now();
    ASSERT_TRUE(game.finishedByItself());
    takes.push_back(Clock::now() - signalled);
    newGame = testing_support::readBytes(folders.save + "AutoSave.dat");
    newScores = testing_support::readBytes(folders.save + "ScoreList.sav");
  }
  std::sort(takes.begin(), takes.end());
  const long long windowMicros = std::chrono::duration_cast<std::chrono::microseconds>(takes[takes.size() / 2]).count();
  ASSERT_EQ(newGame, (Bytes{2, 0, 0, 0, 2, 0, 0, 0, 0x28, 0xDB, 0x0B, 0}));
  ASSERT_EQ(newScores.size(), oldScores().size());
  ASSERT_NE(newScores, oldScores());

  const int kills = killsToMake();
  std::mt19937 random(20251208);
  std::uniform_int_distribution<long long> delay(0, windowMicros);
  std::map<std::string, int> outcomes;
  int temporaries = 0;
  int finishedFirst = 0;
  for (int k = 0; k < kills; ++k) {
    folders.putOldFiles();
    {
      SavingGame game(folders);
      ASSERT_TRUE(game.waitForTheSave());
      std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
      game.kill();
      if (game.finishedByItself()) ++finishedFirst;
    }
    const std::string outcome = "AutoSave.dat " + versionOf(folders.save + "AutoSave.dat", kOldGame, newGame) +
                                ", ScoreList.sav " +
                                versionOf(folders.save + "ScoreList.sav", oldScores(), newScores);
    ++outcomes[outcome];
    EXPECT_EQ(outcome.find("torn"), std::string::npos) << "kill " << k << ": " << outcome;
    EXPECT_EQ(outcome.find("missing"), std::string::npos) << "kill " << k << ": " << outcome;
    temporaries += leftTemporaries(folders.save);
  }

  std::printf("%d kills at random within %lld us of the end of the script (the median shutdown with its saves):\n",
              kills, windowMicros);
  for (const auto& [outcome, count] : outcomes) std::printf("  %5d  %s\n", count, outcome.c_str());
  std::printf("  %5d  ended by itself before the kill\n  %5d  temporary files left beside them\n", finishedFirst,
              temporaries);
  // The kills must have fallen across the whole save, or the test proved nothing.
  EXPECT_GT(outcomes["AutoSave.dat old, ScoreList.sav old"], 0);
  EXPECT_GT(outcomes["AutoSave.dat new, ScoreList.sav new"], 0);
  EXPECT_LT(finishedFirst, kills);
}

// ---- A full disk and a folder that may not be written ----

// The game run to its end in a child with a mount namespace of its own, where the save folder
// is a tmpfs of 64 kB holding the old files: `spoil` fills or locks it. The outcome as text:
// the exit status, what the files hold, and standard error; "skip: ..." without root.
std::string runOnSmallDisk(const Folders& folders, const std::function<std::string()>& spoil) {
  return testing_support::inChild([&]() -> std::string {
    if (::unshare(CLONE_NEWNS) != 0) return "skip: no mount namespace of our own (needs root)";
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folders.save.c_str(), "tmpfs", 0, "size=64k") != 0) {
      return "skip: cannot mount a tmpfs (needs root)";
    }
    folders.putOldFiles();
    const std::string spoiled = spoil();
    if (!spoiled.empty()) return spoiled;
    const int err = ::open(folders.scratch.file("err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int out = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t game = testing_support::startGame(folders.arguments(), out, err);
    int status = 0;
    ::waitpid(game, &status, 0);
    std::ifstream errors(folders.scratch.file("err.txt"));
    std::ostringstream text;
    text << "status " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1) << "; AutoSave.dat "
         << versionOf(folders.save + "AutoSave.dat", kOldGame, {}) << "; ScoreList.sav "
         << versionOf(folders.save + "ScoreList.sav", oldScores(), {}) << "; " << leftTemporaries(folders.save)
         << " other files\n"
         << errors.rdbuf();
    return text.str();
  });
}

std::string expectedOutcome(const Folders& folders, const std::string& reason, int otherFiles) {
  std::string text = "status 1; AutoSave.dat old; ScoreList.sav old; " + std::to_string(otherFiles) + " other files\n";
  // The old saved game was not recorded: continued, it goes on without a replay.
  text += "zebrolite: the continued game will have no replay: its replay so far is missing\n";
  for (const char* name : {"AutoSave.dat", "ScoreList.sav"}) {
    const std::string told = "could not save " + folders.save + name + " (" + reason + "); the old file is kept";
    text += "zebrolite: " + told + "\nmessagebox: C" + told.substr(1) + ". | Zebrolite\n";
  }
  return text;
}

TEST(CrashSafety, AFullDiskLosesNoOldFileAndSaysSo) {
  Folders folders;
  const std::string result = runOnSmallDisk(folders, [&] {
    // Every page of the file system taken, as on a disk that filled up while playing.
    std::ofstream filler(folders.save + "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
    return std::string();
  });
  if (result.starts_with("skip:")) GTEST_SKIP() << result;
  EXPECT_EQ(result, expectedOutcome(folders, std::strerror(ENOSPC), 1));  // the filler
}

TEST(CrashSafety, AFolderThatMayNotBeWrittenLosesNoOldFileAndSaysSo) {
  Folders folders;
  const std::string result = runOnSmallDisk(folders, [&] {
    if (::mount(nullptr, folders.save.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
      return std::string("skip: cannot remount read-only");
    }
    return std::string();
  });
  if (result.starts_with("skip:")) GTEST_SKIP() << result;
  EXPECT_EQ(result, expectedOutcome(folders, std::strerror(EROFS), 0));
}

}  // namespace
