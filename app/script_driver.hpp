// Runs a script of the headless driver against a started program: passes of the main loop
// on a clock that moves only with them, messages, set-up commands, dumps, hashes and shots.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/autopilot.hpp"
#include "app/program.hpp"
#include "app/script.hpp"

namespace app {

class ScriptDriver {
 public:
  ScriptDriver(Program& program, std::FILE* out);

  // Runs the commands in order, until the last, until the program ends (the quit key) or
  // until the run is interrupted (SIGINT, SIGTERM). False, with the line and the reason in
  // `error`, when a command cannot be carried out.
  bool run(const std::vector<ScriptCommand>& commands, ScriptError& error);

  // The most passes `autopilot games` waits for a game to end: the built-in player's longest
  // game of a hundred seeds took 66,180.
  static constexpr std::uint64_t kMaxPassesPerGame = 1'000'000;

  std::uint64_t passes() const { return passes_; }

 private:
  bool runOne(const ScriptCommand& command, ScriptError& error);
  bool setUp(const ScriptCommand& command, ScriptError& error);
  // `autopilot games N`: whole games one after the other, a line of figures after each.
  bool playGames(const ScriptCommand& command, ScriptError& error);
  bool goesOn() const;
  void pass();
  void send(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam);

  Program& program_;
  std::FILE* out_;
  std::uint64_t passes_ = 0;
  Autopilot autopilot_;
};

// `zebrolite --headless --script FILE`: exit status 0; 1 when a save of the player's files
// was lost (the message says which and why); 2 for a bad script.
int runHeadless(const std::string& scriptPath);

}  // namespace app
