#include "app/script.hpp"

#include <gtest/gtest.h>

#include "app/replay_recorder.hpp"
#include "platform/problem_report.hpp"

namespace {

using app::ScriptVerb;

TEST(ScriptTest, ParsesEveryCommandWithItsArguments) {
  const std::string source =
      "# a replay\n"
      "seed 0x2A\n"
      "\n"
      "tick\n"
      "tick 90   # about a second\n"
      "key RETURN\n"
      "keyup 0x42\n"
      "key 7\n"
      "pen down 239 319\n"
      "pen move 0 0\n"
      "pen up 10 20\n"
      "activate\ndeactivate\nfocus on\nfocus off\ndump\nhash\nshot out.png\n"
      "autopilot on\nautopilot off\nautopilot games 0\n"
      "cell 11 15 69\nhide 0 0 14\n"
      "ball add 0x780000 -0x10000 16384 -16384 0x4000 2\nball rest 7864320\nball clear\n"
      "paddle x 0x5A0000\npaddle size 2\npaddle attach 1\n"
      "item add 7 0 0 -8192 8192\nlives 9\nscore 12345\nlevel 3\n";
  std::vector<app::ScriptCommand> commands;
  app::ScriptError error;
  ASSERT_TRUE(app::parseScript(source, commands, error)) << error.line << ": " << error.message;
  ASSERT_EQ(commands.size(), 31u);
  EXPECT_EQ(commands[0].verb, ScriptVerb::Seed);
  EXPECT_EQ(commands[0].numbers, (std::vector<std::int64_t>{42}));
  EXPECT_EQ(commands[0].line, 2);
  EXPECT_EQ(commands[1].numbers, (std::vector<std::int64_t>{1}));
  EXPECT_EQ(commands[2].numbers, (std::vector<std::int64_t>{90}));
  EXPECT_EQ(commands[3].numbers, (std::vector<std::int64_t>{0x0D}));
  EXPECT_EQ(commands[4].verb, ScriptVerb::KeyUp);
  EXPECT_EQ(commands[4].numbers, (std::vector<std::int64_t>{0x42}));
  EXPECT_EQ(commands[5].numbers, (std::vector<std::int64_t>{'7'}));
  EXPECT_EQ(commands[6].numbers, (std::vector<std::int64_t>{239, 319}));
  EXPECT_EQ(commands[15].verb, ScriptVerb::Shot);
  EXPECT_EQ(commands[15].text, "out.png");
  EXPECT_EQ(commands[18].verb, ScriptVerb::AutopilotGames);
  EXPECT_EQ(commands[18].numbers, (std::vector<std::int64_t>{0}));
  EXPECT_EQ(commands[21].verb, ScriptVerb::BallAdd);
  EXPECT_EQ(commands[21].numbers, (std::vector<std::int64_t>{0x780000, -0x10000, 16384, -16384, 0x4000, 2}));
  EXPECT_EQ(commands[30].verb, ScriptVerb::Level);
}

TEST(ScriptTest, ReportsTheLineOfTheFirstBadCommand) {
  struct Case {
    const char* source;
    int line;
    const char* fragment;
  };
  const Case cases[] = {
      {"tick\njump\n", 2, "unknown command 'jump'"},
      {"key ESCAPE\n", 1, "unknown key"},
      {"key 9\n", 1, "unknown key"},
      {"key 0x100\n", 1, "unknown key"},
      {"tick -1\n", 1, "not a number of passes"},
      {"tick 1 2\n", 1, "at most one"},
      {"pen down 5\n", 1, "takes 2 arguments"},
      {"pen down 5 x\n", 1, "'x' is not a number"},
      {"pen down 70000 0\n", 1, "out of range"},
      {"paddle size 3\n", 1, "out of range"},
      {"seed -1\n", 1, "out of range"},
      {"score -1\n", 1, "out of range"},
      {"score 4294967296\n", 1, "out of range"},
      {"autopilot games -1\n", 1, "out of range"},
      {"autopilot games\n", 1, "takes 1 argument"},
      {"# fine\n\ndump extra\n", 3, "takes 0 arguments"},
      {"shot\n", 1, "one file name"},
      {"pen sideways 1 2\n", 1, "unknown command 'pen'"},
  };
  for (const Case& c : cases) {
    std::vector<app::ScriptCommand> commands;
    app::ScriptError error;
    EXPECT_FALSE(app::parseScript(c.source, commands, error)) << c.source;
    EXPECT_EQ(error.line, c.line) << c.source;
    EXPECT_NE(error.message.find(c.fragment), std::string::npos) << c.source << " gave: " << error.message;
  }
}

// Whatever a script holds, its words reach the terminal quoted, readable and short.
TEST(ScriptTest, ErrorMessagesShowWordsQuotedEscapedAndShortened) {
  const std::string megabyte(1 << 20, 'z');
  const std::string thirtyTwo(32, 'w');
  struct Case {
    std::string source;
    std::string message;
  };
  // A word in quotes: `head`, then `count` times `fill`, then what follows.
  const auto word = [](const char* head, std::size_t count, char fill, const char* tail) {
    return std::string("'").append(head).append(count, fill).append(tail).append("'");
  };
  const Case cases[] = {
      {"\x01\x7F\xFF\xC3\xA9\n", "unknown command '\\x01\\x7F\\xFF\\xC3\\xA9'"},
      {"key \x1B[2J\n", "unknown key '\\x1B[2J'"},
      {"pen down 1 2\x80\n", "'2\\x80' is not a number"},
      {"tick " + megabyte + "\n", word("", 32, 'z', "...") + " is not a number of passes"},
      {"score 9" + megabyte + "\n", word("9", 31, 'z', "...") + " is not a number"},
      {"level 1" + std::string(40, '0') + "\n", word("1", 31, '0', "...") + " is not a number"},
      {thirtyTwo + "\n", "unknown command " + word("", 32, 'w', "")},
      {thirtyTwo + "w\n", "unknown command " + word("", 32, 'w', "...")},
      {"seed 0x" + std::string(20, 'F') + "\n", word("0x", 20, 'F', "") + " is not a number"},
      {"paddle size 7\n", "'7' is out of range for 'paddle size'"},
  };
  for (const Case& c : cases) {
    std::vector<app::ScriptCommand> commands;
    app::ScriptError error;
    EXPECT_FALSE(app::parseScript(c.source, commands, error));
    EXPECT_EQ(error.message, c.message);
  }
  EXPECT_EQ(platform::quoted("it's a \\ back"), "'it's a \\ back'");
}

TEST(ScriptTest, KeyNamesRoundTrip) {
  for (std::uint32_t key = 0; key < 256; ++key) {
    std::uint32_t parsed = 0;
    ASSERT_TRUE(app::parseKeyName(app::keyName(key), parsed)) << key;
    EXPECT_EQ(parsed, key);
  }
  EXPECT_EQ(app::keyName(0x0D), "RETURN");
  EXPECT_EQ(app::keyName(0xC4), "APP4");
  EXPECT_EQ(app::keyName(0x50), "0x50");
}

TEST(ScriptTest, RecordedMessagesAreScriptCommands) {
  struct Case {
    win::Message message;
    const char* command;
  };
  const Case cases[] = {
      {{win::WM_KEYDOWN, win::VK_LEFT, 0}, "key LEFT"},
      {{win::WM_KEYUP, 'P', 0}, "keyup 0x50"},
      {{win::WM_LBUTTONDOWN, 1, win::packPenPosition(239, 319)}, "pen down 239 319"},
      {{win::WM_MOUSEMOVE, 1, win::packPenPosition(3, 4)}, "pen move 3 4"},
      {{win::WM_LBUTTONUP, 0, win::packPenPosition(0, 0)}, "pen up 0 0"},
      {{win::WM_ACTIVATE, win::WA_INACTIVE, 0}, "deactivate"},
      {{win::WM_ACTIVATE, win::WA_ACTIVE, 0}, "activate"},
      {{win::WM_ACTIVATE, win::WA_CLICKACTIVE, 0}, ""},
      {{win::WM_SETFOCUS, 0, 0}, "focus on"},
      {{win::WM_KILLFOCUS, 0, 0}, "focus off"},
      {{0x0113, 0, 0}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::ReplayRecorder::commandFor(c.message), c.command);
    if (c.command[0] == '\0') continue;
    std::vector<app::ScriptCommand> commands;
    app::ScriptError error;
    EXPECT_TRUE(app::parseScript(c.command, commands, error)) << c.command;
  }
}

}  // namespace
