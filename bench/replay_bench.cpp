// What verifying a game costs: a whole game of the built-in player's median length (seed 8:
// 34,174 updates and as many draws), played by the driver through real messages and recorded
// as the game records every game, then judged by the verifier as the score server does, with
// the level map loaded once. The ceiling is 50 ms a game.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/program.hpp"
#include "app/replay_verifier.hpp"
#include "app/script.hpp"
#include "app/script_driver.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "replay/replay_file.hpp"

namespace {

constexpr const char* kMedianGame =
    "seed 8\ntick 60\nkey RETURN\ntick 60\nkey RETURN\ntick 60\nautopilot on\ntick 40000\nautopilot off\n"
    "key RETURN\ntick 60\nkey 0x41\nkey RETURN\ntick 60\n";

std::string gameFolder() {
  const char* folder = std::getenv("ZEBROLITE_GAME_DIR");
  return folder != nullptr ? std::string(folder) : platform::folderOfExecutable() + "../game/";
}

// Played on a thread of its own, whose game state the verifier's thread does not share.
const std::vector<std::uint8_t>& medianGame() {
  static const std::vector<std::uint8_t> bytes = [] {
    std::vector<std::uint8_t> file;
    std::thread player([&file] {
      char folder[] = "/tmp/zebrolite-replay-bench-XXXXXX";
      if (::mkdtemp(folder) == nullptr) return;
      platform::setDataFolder(gameFolder());
      platform::setSaveFolder(folder);
      platform::useManualClock(0);
      std::vector<app::ScriptCommand> commands;
      app::ScriptError error;
      app::parseScript(kMedianGame, commands, error);
      {
        app::Program program;
        program.startUp();
        app::ScriptDriver driver(program, stdout);
        driver.run(commands, error);
        program.shutDown();
      }
      for (const std::string& name : platform::filesInFolder(platform::saveFolder(), "", "")) {
        if (name.ends_with(".zebreplay")) file = platform::readFile(platform::saveFolder() + name, 1 << 20).bytes;
        platform::removeFile(platform::saveFolder() + name);
      }
      ::rmdir(folder);
    });
    player.join();
    return file;
  }();
  return bytes;
}

void BM_VerifyMedianGame(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = medianGame();
  app::ReplayVerifier verifier;
  app::Verdict verdict;
  for (auto _ : state) {
    verdict = verifier.verify(bytes);
    benchmark::DoNotOptimize(verdict.updates);
  }
  if (!verdict.verified()) state.SkipWithError(("not verified: " + verdict.reason).c_str());
  state.counters["updates"] = static_cast<double>(verdict.updates);
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.counters["ceiling_ms"] = 50;
}
BENCHMARK(BM_VerifyMedianGame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DecodeMedianGame(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = medianGame();
  for (auto _ : state) benchmark::DoNotOptimize(replay::decode(bytes));
}
BENCHMARK(BM_DecodeMedianGame)->Unit(benchmark::kMicrosecond);

}  // namespace
