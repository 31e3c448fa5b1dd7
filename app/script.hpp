// The headless driver's script language: one command a line, '#' starts a comment, blank
// lines are skipped. Parsed whole before anything runs, so a bad line stops the run before
// it starts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

enum class ScriptVerb {
  Seed,
  Tick,
  Key,
  KeyUp,
  PenDown,
  PenMove,
  PenUp,
  Activate,
  Deactivate,
  FocusOn,
  FocusOff,
  Dump,
  Hash,
  Shot,
  AutopilotOn,
  AutopilotOff,
  AutopilotGames,
  Cell,
  Hide,
  BallAdd,
  BallRest,
  BallClear,
  PaddleX,
  PaddleSize,
  PaddleAttach,
  ItemAdd,
  Lives,
  Score,
  Level,
};

struct ScriptCommand {
  ScriptVerb verb = ScriptVerb::Tick;
  int line = 0;
  std::vector<std::int64_t> numbers;  // the command's numeric arguments, in order
  std::string text;                   // the file name of `shot`
};

struct ScriptError {
  int line = 0;
  std::string message;
};

// False with the first error when a line has an unknown command or a bad argument.
bool parseScript(const std::string& source, std::vector<ScriptCommand>& commands, ScriptError& error);

// The virtual key of a key name: RETURN, LEFT, UP, RIGHT, DOWN, 1 .. 8, APP1, APP3, APP4, or a
// number (decimal or 0x hex) from 0 to 255. False for anything else.
bool parseKeyName(const std::string& name, std::uint32_t& key);

// The name a recorded key is written with: the name above where there is one, else 0x hex.
std::string keyName(std::uint32_t key);

}  // namespace app
