// The headless driver as its users see it: the executable, a script, what it prints, its
// exit status and the files it leaves.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "gfx/png_image.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/loopback_http_server.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class DriverTest : public ::testing::Test {
 protected:
  RunResult run(const std::string& script, const std::string& options = "") {
    std::ofstream(scratch_.file("script.zs")) << script;
    const std::string command = testing_support::gameFolder() + "zebrolite --headless --script " +
                                scratch_.file("script.zs") + " --save-dir " + scratch_.path() + " " + options +
                                " > " + scratch_.file("out.txt") + " 2> " + scratch_.file("err.txt");
    RunResult result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readAll(scratch_.file("out.txt"));
    result.err = readAll(scratch_.file("err.txt"));
    return result;
  }

  std::string savedGame() { return readAll(scratch_.file("AutoSave.dat")); }

  testing_support::ScratchFolder scratch_;
};

// From the cover to a level in play.
const char* const kToPlay = "seed 1\ntick 60\nkey RETURN\ntick 60\nkey RETURN\ntick 60\nkey RETURN\ntick 60\n";

TEST_F(DriverTest, ABadLineStopsTheRunBeforeItStarts) {
  const RunResult result = run("tick\ndump\n\njump 3\ndump\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "script:4: error: unknown command 'jump'\n");
}

TEST_F(DriverTest, ASetUpCommandOutsideTheFieldIsABadArgument) {
  const RunResult result = run(std::string(kToPlay) + "dump\ncell 12 0 10\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("script:10: error: no such cell"), std::string::npos) << result.err;
}

TEST_F(DriverTest, AMissingScriptIsAnErrorWithStatusTwo) {
  const std::string command = testing_support::gameFolder() + "zebrolite --headless --script " +
                              scratch_.file("none.zs") + " 2>/dev/null";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 2);
}

TEST_F(DriverTest, TheEndOfTheScriptSavesAGameInProgress) {
  const RunResult result = run(std::string(kToPlay) + "lives 5\nscore 840\nlevel 2\n");
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string saved = savedGame();
  ASSERT_EQ(saved.size(), 12u);
  EXPECT_EQ(saved, std::string("\x02\0\0\0\x05\0\0\0\x48\x03\0\0", 12));
}

TEST_F(DriverTest, TheQuitKeyEndsTheRunThere) {
  const RunResult result = run(std::string(kToPlay) + "key APP1\ndump\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(savedGame().size(), 12u);
}

TEST_F(DriverTest, TheDumpHoldsEveryKeyOfTheContract) {
  const RunResult result = run(std::string(kToPlay) + "dump\n");
  ASSERT_EQ(result.status, 0) << result.err;
  for (const char* key :
       {"\"tick\":240", "\"state\":\"Playing\"", "\"gameRunning\":true", "\"muted\":false", "\"musicOn\":false",
        "\"soundOn\":true", "\"score\":0", "\"lives\":3", "\"level\":1", "\"levelPassed\":false",
        "\"gameEnded\":false", "\"paddle\":{\"x\":5898240,\"width\":3932160,\"velocity\":0,\"moveState\":2,"
        "\"sizeState\":1,\"attachment\":0,\"breaking\":false,\"destroyed\":false,\"resting\":1}",
        "\"balls\":[{\"x\":7864320,\"y\":17956864,\"vx\":0,\"vy\":0,\"speed\":16384,\"kind\":0,\"stuck\":true}]",
        "\"shots\":[]", "\"items\":[]", "\"effects\":0", "\"bricks\":[[", "\"hidden\":[", "\"menu\":{\"selection\":0}",
        "\"options\":{\"selection\":0}", "\"help\":{\"page\":0}", "\"transition\":{\"step\":0,\"target\":\"Playing\"}",
        "\"highScores\":{\"firstRow\":0,\"uploadState\":2,\"scrollState\":2}",
        "\"nameEntry\":{\"col\":0,\"row\":0,\"count\":0,\"name\":\"\"}", "\"scores\":[[\"PLAYER\",100,false]",
        "[\"PLAYER\",1,false]]", "\"sounds\":{\"music\":{\"plays\":0,\"paused\":false},\"hit\":{",
        "\"blast\":{", "\"click\":{\"plays\":4,\"paused\":false}}"}) {
    EXPECT_NE(result.out.find(key), std::string::npos) << key;
  }
  const std::string bricks = result.out.substr(result.out.find("\"bricks\":"));
  EXPECT_EQ(std::count(bricks.begin(), bricks.begin() + static_cast<long>(bricks.find("\"hidden\"")), '['), 193);
}

TEST_F(DriverTest, SetUpCommandsShowInTheDump) {
  const RunResult result = run(std::string(kToPlay) +
                         "ball clear\nball add 0x100000 0x800000 0x1000 -0x2000 0x4000 2\npaddle size 0\n"
                         "paddle attach 2\nitem add 7 0 0x10000 0 0\ncell 0 0 63\nhide 0 0 9\ndump\n");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"balls\":[{\"x\":1048576,\"y\":8388608,\"vx\":4096,\"vy\":-8192,\"speed\":16384,"
                            "\"kind\":2,\"stuck\":false}]"),
            std::string::npos);
  EXPECT_NE(result.out.find("\"width\":5242880"), std::string::npos);
  EXPECT_NE(result.out.find("\"attachment\":2"), std::string::npos);
  EXPECT_NE(result.out.find("\"items\":[{\"kind\":7,\"x\":0,\"y\":65536,\"vx\":0,\"vy\":0}]"), std::string::npos);
  EXPECT_NE(result.out.find("\"bricks\":[[6,1,3]"), std::string::npos);
  EXPECT_NE(result.out.find("\"hidden\":[9,"), std::string::npos);
}

TEST_F(DriverTest, TheSameScriptGivesTheSameFramesAndAPicture) {
  const std::string script = std::string(kToPlay) + "key RETURN\ntick 200\nhash\nshot " + scratch_.file("f.png") + "\n";
  const RunResult first = run(script);
  const RunResult second = run(script);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
  ASSERT_EQ(first.out.size(), 17u);
  EXPECT_EQ(first.out.find_first_not_of("0123456789abcdef"), 16u);
  gfx::PngImage picture;
  ASSERT_TRUE(gfx::decodePng(scratch_.file("f.png"), picture));
  EXPECT_EQ(picture.width, 240);
  EXPECT_EQ(picture.height, 320);
}

// Scores are unsigned to the top of their range, in the dump and in the saved game.
TEST_F(DriverTest, AScoreRunsToTheTopOfTheUnsignedRange) {
  const RunResult result = run(std::string(kToPlay) + "score 4294967295\ndump\n");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"score\":4294967295,"), std::string::npos);
  EXPECT_EQ(savedGame(), std::string("\x01\0\0\0\x03\0\0\0\xFF\xFF\xFF\xFF", 12));
}

// The built-in player goes by itself from the cover through the menu into a game, and from
// its end through the name entry and the high scores back to the menu, where it reports the
// game. (Game after game is the soak's part.)
TEST_F(DriverTest, TheBuiltInPlayerPlaysAWholeGameFromTheCoverBackToTheMenu) {
  const RunResult result = run("seed 3\nautopilot games 1\ndump\n");
  ASSERT_EQ(result.status, 0) << result.err;
  std::istringstream lines(result.out);
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_TRUE(line.starts_with("{\"game\":1,\"outcome\":\"Game")) << line;
  for (const char* key : {"\"level\":", "\"score\":", "\"passes\":", "\"heapBytes\":", "\"residentBytes\":"}) {
    EXPECT_NE(line.find(key), std::string::npos) << key << " in " << line;
  }
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_NE(line.find("\"state\":\"Menu\""), std::string::npos);
  EXPECT_NE(line.find("[\"AUTO\","), std::string::npos);
}

// SIGTERM ends a headless run at its next pass, through the shutdown that saves the game.
TEST_F(DriverTest, SigtermEndsTheRunThroughTheOrderlyShutdown) {
  std::ofstream(scratch_.file("long.zs")) << kToPlay << "dump\ntick 2000000000\n";
  int out[2];
  ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
  const int err = ::open(scratch_.file("err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t game = testing_support::startGame(
      {"--headless", "--script", scratch_.file("long.zs"), "--save-dir", scratch_.path()}, out[1], err);
  ::close(out[1]);
  ::close(err);
  char c = 0;
  while (c != '\n' && ::read(out[0], &c, 1) == 1) {
  }
  ::close(out[0]);
  ::kill(game, SIGTERM);
  int status = 0;
  ::waitpid(game, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readAll(scratch_.file("err.txt"));
  EXPECT_EQ(savedGame(), std::string("\x01\0\0\0\x03\0\0\0\0\0\0\0", 12));
}

TEST_F(DriverTest, AnExchangeShowsItsLineUntilTheScreenIsLeftAndItsListReachesTheFile) {
  testing_support::LoopbackHttpServer server([](const testing_support::LoopbackHttpServer::Request&) {
    return testing_support::LoopbackHttpServer::Reply{200, ";ANNA,900;BOB,800", 0, ""};
  });
  const char* const script =
      "tick 60\nkey RETURN\ntick 60\nkey DOWN\nkeyup DOWN\nkey DOWN\nkeyup DOWN\nkey DOWN\nkeyup DOWN\n"
      "key RETURN\ntick 60\nkey APP4\ntick 2\ndump\nkey RETURN\ntick 1\ndump\n";
  const RunResult result = run(script, "--score-server " + server.address());
  ASSERT_EQ(result.status, 0) << result.err;
  const std::size_t firstEnd = result.out.find('\n');
  ASSERT_NE(firstEnd, std::string::npos);
  const std::string during = result.out.substr(0, firstEnd);
  const std::string after = result.out.substr(firstEnd + 1);
  EXPECT_NE(during.find("\"state\":\"HighScores\""), std::string::npos);
  EXPECT_NE(during.find("\"scrollState\":2,\"exchange\":\"Scores exchanged\"}"), std::string::npos);
  EXPECT_NE(during.find("\"scores\":[[\"ANNA\",900,false],[\"BOB\",800,false],[\"PLAYER\",98,false]"), std::string::npos);
  EXPECT_NE(after.find("\"state\":\"Transition\""), std::string::npos);
  EXPECT_EQ(after.find("\"exchange\""), std::string::npos);
  ASSERT_EQ(server.requests().size(), 1u);
  // The file's first record: not pending, a spare byte, "ANNA" in UTF-16LE, 900.
  const std::string file = readAll(scratch_.file("ScoreList.sav"));
  ASSERT_EQ(file.size(), 3202u);
  EXPECT_EQ(file.substr(2, 12), std::string("\0\0A\0N\0N\0A\0\0\0", 12));
  EXPECT_EQ(file.substr(2 + 20, 4), std::string("\x84\x03\0\0", 4));
}

TEST(CommandLineTest, ABadOptionIsAClearErrorWithStatusTwo) {
  const std::string game = testing_support::gameFolder() + "zebrolite";
  EXPECT_EQ(WEXITSTATUS(std::system((game + " --frobnicate 2>/dev/null").c_str())), 2);
  EXPECT_EQ(WEXITSTATUS(std::system((game + " --scale 0 2>/dev/null").c_str())), 2);
  EXPECT_EQ(WEXITSTATUS(std::system((game + " --version >/dev/null").c_str())), 0);
  EXPECT_EQ(WEXITSTATUS(std::system((game + " --help | grep -q Ctrl+Q").c_str())), 0);
}

}  // namespace
