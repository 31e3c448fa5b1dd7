// The executable started among hostile files and beside another copy of itself: it must never
// hang, never share a save folder, and say what happened.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/game_process.hpp"
#include "tests/support/held_lock.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Polls `condition` for up to 30 s: long enough for a loaded machine, short enough that a
// regression fails instead of hanging the suite.
bool waitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The game in a process of its own, with a window on SDL's invisible "dummy" video driver and
// the lock folder in the scratch folder. Killed when the object goes, whatever the test did.
class GameProcess {
 public:
  GameProcess(const std::vector<std::string>& arguments, const std::string& lockFolder, const std::string& output)
      : out_(output + ".out"), err_(output + ".err") {
    const int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = testing_support::startGame(arguments, out, err, {{"XDG_RUNTIME_DIR", lockFolder}});
    ::close(out);
    ::close(err);
  }
  ~GameProcess() {
    if (pid_ <= 0 || exited_) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // The exit status, or -1 when the process had to be killed (it hung) or died of a signal.
  int finish() {
    int status = 0;
    if (!waitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    exited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Asks a windowed game to quit, as the desktop does at log-out.
  int terminate() {
    ::kill(pid_, SIGTERM);
    return finish();
  }
  std::string out() const { return readAll(out_); }
  std::string err() const { return readAll(err_); }

 private:
  std::string out_;
  std::string err_;
  pid_t pid_ = -1;
  bool exited_ = false;
};

struct Folders {
  testing_support::ScratchFolder scratch;
  std::string data = scratch.file("data/");
  std::string save = scratch.file("save/");
  std::string lock = scratch.file("run/");
  Folders() {
    fs::create_directory(data);
    fs::create_directory(save);
    fs::create_directory(lock);
    fs::permissions(lock, fs::perms::owner_all);
  }
};

// ---- Hostile files: each file the game reads replaced by a FIFO or a folder ----

// An I/O error: reading /proc/PID/mem at offset 0 fails as a bad disk block does.
enum class Kind { Fifo, Folder, IoError };

struct HostileCase {
  const char* name;
  std::vector<std::string> dataFiles;  // relative to the data folder
  std::vector<std::string> saveFiles;  // relative to the save folder
  Kind kind;
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

class HostileFiles : public ::testing::TestWithParam<HostileCase> {};

// A data folder that is the game's own, as links, but for the hostile files.
void linkGameData(const std::string& into, const std::vector<std::string>& except) {
  const std::string game = testing_support::gameFolder();
  for (const char* folder : {"", "image/"}) {
    fs::create_directories(into + folder);
    for (const auto& entry : fs::directory_iterator(game + folder)) {
      const std::string name = folder + entry.path().filename().string();
      if (entry.is_regular_file() && std::find(except.begin(), except.end(), name) == except.end()) {
        fs::create_symlink(entry.path(), into + name);
      }
    }
  }
}

void makeHostile(const std::string& path, Kind kind) {
  switch (kind) {
    case Kind::Fifo: ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path; break;
    case Kind::Folder: fs::create_directory(path); break;
    case Kind::IoError: fs::create_symlink("/proc/self/mem", path); break;
  }
}

bool stillHostile(const std::string& path, Kind kind) {
  switch (kind) {
    case Kind::Fifo: return fs::is_fifo(fs::symlink_status(path));
    case Kind::Folder: return fs::is_directory(fs::symlink_status(path)) && fs::is_empty(path);
    case Kind::IoError: return fs::is_symlink(path) && fs::read_symlink(path) == "/proc/self/mem";
  }
  return false;
}

// From the cover through the menu's second item, which reads the saved game, into the level.
constexpr const char* kScript =
    "seed 1\ntick 60\nkey RETURN\ntick 60\nkey DOWN\ntick 5\nkey RETURN\ntick 60\nkey RETURN\ntick 60\ndump\n";

TEST_P(HostileFiles, TheGameStillStartsPlaysAndEnds) {
  const HostileCase& c = GetParam();
  Folders folders;
  linkGameData(folders.data, c.dataFiles);
  for (const std::string& name : c.dataFiles) makeHostile(folders.data + name, c.kind);
  for (const std::string& name : c.saveFiles) makeHostile(folders.save + name, c.kind);
  std::ofstream(folders.scratch.file("script.zs")) << kScript;

  GameProcess game({"--headless", "--script", folders.scratch.file("script.zs"), "--data", folders.data, "--save-dir",
                    folders.save},
                   folders.lock, folders.scratch.file("game"));
  // A player's file that could not be read is left as it was found, not replaced by the
  // defaults the game played with; the lost save is told and the status says so.
  const int status = game.finish();
  const std::string err = game.err();
  EXPECT_EQ(status, c.saveFiles.empty() ? 0 : 1) << err;
  for (const std::string& name : c.saveFiles) {
    const std::string path = folders.save + name;
    EXPECT_TRUE(stillHostile(path, c.kind)) << path;
    EXPECT_NE(err.find("zebrolite: cannot read " + path + " ("), std::string::npos) << err;
    EXPECT_NE(err.find("zebrolite: " + path + " was not saved: it could not be read ("), std::string::npos) << err;
    EXPECT_NE(err.find("messagebox: " + path + " was not saved"), std::string::npos) << err;
  }
  // The whole script ran (without its level map, the first level is passed at once).
  EXPECT_TRUE(game.out().starts_with("{\"tick\":245,")) << game.out().substr(0, 200);
}

const std::vector<std::string> kEveryDataFile = {"BrickMap.dat",         "music.wav",         "hit.wav",
                                                 "blast.wav",            "menu_select.wav",   "image/cover.png",
                                                 "image/menucover.png",  "image/background.png", "image/ball.png"};
const std::vector<std::string> kEverySaveFile = {"ScoreList.sav", "AutoSave.dat"};

INSTANTIATE_TEST_SUITE_P(
    InPlaceOfEachFile, HostileFiles,
    ::testing::Values(HostileCase{"FifoLevelMap", {"BrickMap.dat"}, {}, Kind::Fifo},
                      HostileCase{"FifoMusic", {"music.wav"}, {}, Kind::Fifo},
                      HostileCase{"FifoHitSound", {"hit.wav"}, {}, Kind::Fifo},
                      HostileCase{"FifoCover", {"image/cover.png"}, {}, Kind::Fifo},
                      HostileCase{"FifoBackground", {"image/background.png"}, {}, Kind::Fifo},
                      HostileCase{"FifoScoreTable", {}, {"ScoreList.sav"}, Kind::Fifo},
                      HostileCase{"FifoSavedGame", {}, {"AutoSave.dat"}, Kind::Fifo},
                      HostileCase{"IoErrorScoreTable", {}, {"ScoreList.sav"}, Kind::IoError},
                      HostileCase{"IoErrorSavedGame", {}, {"AutoSave.dat"}, Kind::IoError},
                      HostileCase{"FifosEverywhere", kEveryDataFile, kEverySaveFile, Kind::Fifo},
                      HostileCase{"FoldersEverywhere", kEveryDataFile, kEverySaveFile, Kind::Folder}),
    [](const ::testing::TestParamInfo<HostileCase>& param) { return std::string(param.param.name); });

// ---- Another copy ----

// The first copy owns the save folder once it listens: it has removed what a copy killed
// while saving left there, and a second start raises it and ends quietly with 0.
TEST(SecondCopy, ASecondStartRaisesTheFirstWhichClearedWhatAKilledSaveLeft) {
  Folders folders;
  // Of the player's files, the saved game's replay and the finished games' replays.
  const std::vector<std::string> leftovers = {"ScoreList.sav.Ab12Cd", "AutoSave.dat.x0Y1z2",
                                              "AutoSave.zebreplay.Qw3rTy",
                                              "ScoreList-00c0ffee00c0ffee.zebreplay.a1B2c3",
                                              "Unsent-00c0ffee00c0ffee.zebreplay.ZZZZZZ"};
  const std::vector<std::string> strangers = {"ScoreList.sav.Ab12C", "notes.txt.Ab12Cd", "ScoreList.sav.old",
                                              "Unsent-.zebreplay.Ab12Cd"};
  for (const std::string& name : leftovers) std::ofstream(folders.save + name) << "torn";
  for (const std::string& name : strangers) std::ofstream(folders.save + name) << "mine";

  GameProcess first({"--save-dir", folders.save}, folders.lock, folders.scratch.file("first"));
  ASSERT_TRUE(waitFor([&] {
    return fs::exists(folders.lock + "zebrolite.sock") &&
           std::none_of(leftovers.begin(), leftovers.end(), [&](const std::string& name) {
             return fs::exists(folders.save + name);
           });
  })) << first.err();
  for (const std::string& name : strangers) EXPECT_EQ(readAll(folders.save + name), "mine") << name;

  GameProcess second({"--save-dir", folders.save}, folders.lock, folders.scratch.file("second"));
  EXPECT_EQ(second.finish(), 0);
  EXPECT_EQ(second.err(), "");
  EXPECT_EQ(first.terminate(), 0) << first.err();
  EXPECT_EQ(first.err(), "");
}

// Another process holds the lock and the save folder and does not answer: the start is
// refused with a word and a failure status, instead of a silent success.
TEST(SecondCopy, AnUnansweringHolderOfTheSaveFolderKeepsTheSecondFromStarting) {
  Folders folders;
  const testing_support::HeldLock lock(folders.lock + "zebrolite.lock");
  const testing_support::HeldLock save(folders.save, true);
  GameProcess game({"--save-dir", folders.save}, folders.lock, folders.scratch.file("game"));
  EXPECT_EQ(game.finish(), 1);
  const std::string err = game.err();
  EXPECT_NE(err.find("zebrolite: another process holds " + folders.lock + "zebrolite.lock but does not answer\n"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("zebrolite: another copy of the game is using the save folder " + folders.save +
                     " and does not answer; not starting a second one\n"),
            std::string::npos)
      << err;
}

// A lock file that is a folder once let two copies run on the same files.
TEST(SecondCopy, WhenTheLockFileIsAFolderTheSaveFolderStillAdmitsOneCopy) {
  Folders folders;
  fs::create_directory(folders.lock + "zebrolite.lock");
  GameProcess first({"--save-dir", folders.save}, folders.lock, folders.scratch.file("first"));
  ASSERT_TRUE(waitFor([&] { return first.err().find("zebrolite.lock (Is a directory)") != std::string::npos; }))
      << first.err();

  GameProcess second({"--save-dir", folders.save}, folders.lock, folders.scratch.file("second"));
  EXPECT_EQ(second.finish(), 1);
  EXPECT_NE(second.err().find("another copy of the game is using the save folder " + folders.save +
                              "; not starting a second one"),
            std::string::npos)
      << second.err();
  EXPECT_EQ(first.terminate(), 0) << first.err();
}

}  // namespace
