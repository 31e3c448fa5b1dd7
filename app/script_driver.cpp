#include "app/script_driver.hpp"

#include <cinttypes>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/state_dump.hpp"
#include "game/game_rig.hpp"
#include "gfx/screenshot.hpp"
#include "platform/clock.hpp"
#include "platform/headless/headless_audio.hpp"
#include "platform/interruption.hpp"
#include "platform/json_line.hpp"
#include "platform/problem_report.hpp"
#include "platform/random.hpp"
#include "shell/player_files.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

// A pass of the headless main loop finds both timers due: they open after more than 10 ms.
constexpr std::uint32_t kPassMilliseconds = 11;

bool fail(ScriptError& error, const ScriptCommand& command, std::string message) {
  error.line = command.line;
  error.message = std::move(message);
  return false;
}

// The line `autopilot games` prints after each game.
std::string gameLine(std::int64_t number, const Autopilot::GameRecord& game, std::uint64_t passes) {
  platform::JsonLine json;
  json.beginObject().field("game", number).field("outcome", appStateName(game.outcome));
  json.field("level", game.level).field("score", game.score).field("passes", passes);
  json.field("heapBytes", game.heapBytes).field("residentBytes", game.residentBytes);
  return json.endObject().text();
}

}  // namespace

ScriptDriver::ScriptDriver(Program& program, std::FILE* out) : program_(program), out_(out) {}

bool ScriptDriver::run(const std::vector<ScriptCommand>& commands, ScriptError& error) {
  for (const ScriptCommand& command : commands) {
    if (!goesOn()) break;
    if (!runOne(command, error)) return false;
  }
  return true;
}

bool ScriptDriver::goesOn() const { return shell::process().running && !platform::interruptionRequested(); }

bool ScriptDriver::playGames(const ScriptCommand& command, ScriptError& error) {
  const std::int64_t count = command.numbers[0];
  autopilot_.setOn(true, program_);
  autopilot_.setBetweenGames(true);
  std::uint64_t sinceLast = 0;
  bool stuck = false;
  for (std::int64_t played = 0; (count == 0 || played < count) && goesOn() && !stuck;) {
    pass();
    ++sinceLast;
    if (const std::optional<Autopilot::GameRecord> game = autopilot_.takeFinishedGame()) {
      std::fprintf(out_, "%s\n", gameLine(++played, *game, sinceLast).c_str());
      std::fflush(out_);
      sinceLast = 0;
    }
    stuck = sinceLast > kMaxPassesPerGame;
  }
  autopilot_.setBetweenGames(false);
  autopilot_.setOn(false, program_);
  if (stuck) return fail(error, command, "the built-in player ended no game in " + std::to_string(kMaxPassesPerGame) + " passes");
  return true;
}

void ScriptDriver::pass() {
  autopilot_.beforePass(program_);
  platform::advanceManualClock(kPassMilliseconds);
  platform::headlessAudio().advance10ms();
  program_.tick();
  ++passes_;
}

void ScriptDriver::send(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
  program_.windowProcedure(message, wParam, lParam);
}

bool ScriptDriver::runOne(const ScriptCommand& command, ScriptError& error) {
  const auto& n = command.numbers;
  const auto position = [&n] { return win::packPenPosition(static_cast<int>(n[0]), static_cast<int>(n[1])); };
  switch (command.verb) {
    case ScriptVerb::Seed: platform::seedRandom(static_cast<std::uint32_t>(n[0])); return true;
    case ScriptVerb::Tick:
      for (std::int64_t i = 0; i < n[0] && goesOn(); ++i) pass();
      return true;
    case ScriptVerb::Key: send(win::WM_KEYDOWN, static_cast<std::uint32_t>(n[0]), 0); return true;
    case ScriptVerb::KeyUp: send(win::WM_KEYUP, static_cast<std::uint32_t>(n[0]), 0); return true;
    case ScriptVerb::PenDown: send(win::WM_LBUTTONDOWN, 1, position()); return true;
    case ScriptVerb::PenMove: send(win::WM_MOUSEMOVE, 1, position()); return true;
    case ScriptVerb::PenUp: send(win::WM_LBUTTONUP, 0, position()); return true;
    case ScriptVerb::Activate: send(win::WM_ACTIVATE, win::WA_ACTIVE, 0); return true;
    case ScriptVerb::Deactivate: send(win::WM_ACTIVATE, win::WA_INACTIVE, 0); return true;
    case ScriptVerb::FocusOn: send(win::WM_SETFOCUS, 0, 0); return true;
    case ScriptVerb::FocusOff: send(win::WM_KILLFOCUS, 0, 0); return true;
    case ScriptVerb::Dump:
      std::fprintf(out_, "%s\n", stateDump(*program_.app(), passes_).c_str());
      std::fflush(out_);
      return true;
    case ScriptVerb::Hash:
      std::fprintf(out_, "%016" PRIx64 "\n", gfx::frameHash(program_.app()->backBuffer()));
      std::fflush(out_);
      return true;
    case ScriptVerb::Shot:
      if (!gfx::saveScreenshot(program_.app()->backBuffer(), command.text)) {
        return fail(error, command, "cannot write " + platform::quoted(command.text));
      }
      return true;
    case ScriptVerb::AutopilotOn: autopilot_.setOn(true, program_); return true;
    case ScriptVerb::AutopilotOff: autopilot_.setOn(false, program_); return true;
    case ScriptVerb::AutopilotGames: return playGames(command, error);
    default: return setUp(command, error);
  }
}

bool ScriptDriver::setUp(const ScriptCommand& command, ScriptError& error) {
  game::GameRig game(*program_.app()->game());
  const auto& n = command.numbers;
  const auto i32 = [&n](std::size_t i) { return static_cast<std::int32_t>(n[i]); };
  const auto inField = [&n] { return n[0] >= 0 && n[0] < game::BrickField::kColumns && n[1] >= 0 && n[1] < game::BrickField::kRows; };
  switch (command.verb) {
    case ScriptVerb::Cell:
      if (!inField()) return fail(error, command, "no such cell");
      game.setCell(i32(0), i32(1), i32(2));
      return true;
    case ScriptVerb::Hide:
      if (!inField()) return fail(error, command, "no such cell");
      if (n[2] < 0 || n[2] > 14) return fail(error, command, "an item kind is 0 to 14");
      game.setHiddenItem(i32(0), i32(1), i32(2));
      return true;
    case ScriptVerb::BallAdd:
      if (n[5] < 0 || n[5] > 2) return fail(error, command, "a ball kind is 0, 1 or 2");
      game.addFlyingBall(i32(0), i32(1), i32(2), i32(3), i32(4), static_cast<game::BallKind>(n[5]));
      return true;
    case ScriptVerb::BallRest: game.addRestingBall(i32(0)); return true;
    case ScriptVerb::BallClear: game.clearBalls(); return true;
    case ScriptVerb::PaddleX: game.setPaddleX(i32(0)); return true;
    case ScriptVerb::PaddleSize: game.setPaddleSize(static_cast<game::SizeState>(n[0])); return true;
    case ScriptVerb::PaddleAttach: game.setPaddleAttachment(static_cast<game::Attachment>(n[0])); return true;
    case ScriptVerb::ItemAdd:
      if (n[0] < 0 || n[0] > 14) return fail(error, command, "an item kind is 0 to 14");
      game.addItem(static_cast<game::ItemKind>(n[0]), i32(1), i32(2), i32(3), i32(4));
      return true;
    case ScriptVerb::Lives: game.setLives(i32(0)); return true;
    case ScriptVerb::Score: shell::setScore(static_cast<std::uint32_t>(n[0])); return true;
    case ScriptVerb::Level:
      // The level map holds fifty levels; a level outside them has no bricks to build.
      if (n[0] < 1 || n[0] > game::LevelMap::kLevels) return fail(error, command, "a level is 1 to 50");
      game.setLevel(i32(0));
      return true;
    default: return fail(error, command, "unknown command");
  }
}

int runHeadless(const std::string& scriptPath) {
  std::ifstream file(scriptPath, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "script: cannot read '%s'\n", scriptPath.c_str());
    return 2;
  }
  std::ostringstream source;
  source << file.rdbuf();
  std::vector<ScriptCommand> commands;
  ScriptError error;
  if (!parseScript(source.str(), commands, error)) {
    std::fprintf(stderr, "script:%d: error: %s\n", error.line, error.message.c_str());
    return 2;
  }
  // Nothing waits for real time: the clock moves with the passes alone.
  platform::useManualClock(0);
  platform::catchInterruptions();
  Program program;
  program.startUp();
  ScriptDriver driver(program, stdout);
  const bool ok = driver.run(commands, error);
  program.shutDown();
  if (!ok) {
    std::fprintf(stderr, "script:%d: error: %s\n", error.line, error.message.c_str());
    return 2;
  }
  return shell::anySaveLost() ? 1 : 0;
}

}  // namespace app
