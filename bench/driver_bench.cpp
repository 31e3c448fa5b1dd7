// The headless driver's throughput: whole passes of the main loop (present, update, draw) per
// second while the built-in player plays a game from the menu to its end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.hpp"
#include "app/script.hpp"
#include "app/script_driver.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"

namespace {

std::string gameFolder() {
  const char* folder = std::getenv("ZEBROLITE_GAME_DIR");
  return folder != nullptr ? std::string(folder) : platform::folderOfExecutable() + "../game/";
}

std::vector<app::ScriptCommand> script(const std::string& text) {
  std::vector<app::ScriptCommand> commands;
  app::ScriptError error;
  app::parseScript(text, commands, error);
  return commands;
}

bool gameOver(app::GameApp& game) {
  const app::AppState state = game.state();
  return state == app::AppState::GameWon || state == app::AppState::GameFailed ||
         (state == app::AppState::Transition && (game.transitionTarget() == app::AppState::GameWon ||
                                                 game.transitionTarget() == app::AppState::GameFailed));
}

void BM_AutopilotGame(benchmark::State& state) {
  platform::setDataFolder(gameFolder());
  platform::setSaveFolder(std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp"));
  platform::useManualClock(0);
  std::uint64_t passes = 0;
  int seed = 1;
  std::FILE* sink = std::fopen("/dev/null", "w");
  const std::vector<app::ScriptCommand> chunk = script("tick 500\n");
  app::ScriptError error;
  for (auto _ : state) {
    state.PauseTiming();
    app::Program program;
    program.startUp();
    app::ScriptDriver driver(program, sink);
    driver.run(script("seed " + std::to_string(seed++) +
                      "\ntick 60\nkey RETURN\ntick 60\nkey RETURN\ntick 60\nautopilot on\n"),
               error);
    state.ResumeTiming();
    const std::uint64_t before = driver.passes();
    while (!gameOver(*program.app()) && driver.passes() < 200000) driver.run(chunk, error);
    passes += driver.passes() - before;
    state.PauseTiming();
    program.shutDown();
    state.ResumeTiming();
  }
  std::fclose(sink);
  state.counters["passes"] = benchmark::Counter(static_cast<double>(passes), benchmark::Counter::kIsRate);
  state.counters["passes_per_game"] =
      benchmark::Counter(static_cast<double>(passes) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_AutopilotGame)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
