#include "tests/support/recorded_games.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/files.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace testing_support {

const std::string kToNewGame = "seed 2\ntick 60\nkey RETURN\ntick 60\nkey RETURN\n";
const std::string kPlayToTheEnd = "tick 60\nautopilot on\ntick 26000\nautopilot off\n";
const std::string kPlayLong = "tick 60\nautopilot on\ntick 60000\nautopilot off\n";
const std::string kEnterName = "key RETURN\ntick 60\nkey 0x41\nkey 0x42\nkey RETURN\ntick 60\n";
const std::string kQuitWhilePlaying = kToNewGame + "tick 60\nautopilot on\ntick 3000\n";
const std::string kContinueToTheEnd = "seed 9\ntick 60\nkey RETURN\ntick 60\nkey DOWN\nkey RETURN\n" + kPlayLong + kEnterName;

namespace {

std::string readText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::uint8_t> onlyReplayIn(const std::string& save) {
  const std::vector<std::vector<std::uint8_t>> replays = tableReplays(save);
  EXPECT_EQ(replays.size(), 1u);
  return replays.empty() ? std::vector<std::uint8_t>{} : replays.front();
}

std::vector<std::uint8_t> onlyReplayOf(const std::string& script) {
  const ScratchFolder save;
  runGameScript(script, save.path());
  return onlyReplayIn(save.path());
}

}  // namespace

std::string runGame(const std::string& arguments) {
  const ScratchFolder scratch;
  const std::string command = "SDL_AUDIODRIVER=dummy timeout 120 " + gameFolder() + "zebrolite --headless " + arguments +
                              " > " + scratch.file("out.txt") + " 2> " + scratch.file("err.txt");
  const int raw = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << arguments << ": " << readText(scratch.file("err.txt"));
  return readText(scratch.file("out.txt"));
}

std::string runGameScript(const std::string& script, const std::string& save) {
  const ScratchFolder scratch;
  std::ofstream(scratch.file("script.zs")) << script;
  return runGame("--script " + scratch.file("script.zs") + " --save-dir " + save);
}

std::vector<std::vector<std::uint8_t>> tableReplays(const std::string& save) {
  std::vector<std::vector<std::uint8_t>> replays;
  for (const std::string& name : platform::filesInFolder(save, "ScoreList-", ".zebreplay")) {
    replays.push_back(readBytes(save + name));
  }
  return replays;
}

std::vector<std::uint8_t> recordWonGame() { return onlyReplayOf(kToNewGame + kPlayToTheEnd + kEnterName); }

std::vector<std::uint8_t> recordGameWithTestKey() {
  return onlyReplayOf(kToNewGame + "key 4\n" + kPlayToTheEnd + kEnterName);
}

std::vector<std::uint8_t> recordContinuedGame() {
  const ScratchFolder save;
  runGameScript(kQuitWhilePlaying, save.path());
  runGameScript(kContinueToTheEnd, save.path());
  return onlyReplayIn(save.path());
}

}  // namespace testing_support
