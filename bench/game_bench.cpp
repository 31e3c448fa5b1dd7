// The cost of one game step and one game frame in a busy scene: eight fire balls with full
// trails, twenty live blasts, six falling items, eight shots and two burning fire bricks,
// drawn with the real pictures of the built game folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "game/game_rig.hpp"
#include "game/game_screen.hpp"
#include "gfx/canvas.hpp"
#include "platform/files.hpp"
#include "platform/random.hpp"
#include "shell/number_display.hpp"
#include "shell/process_state.hpp"

namespace {

constexpr Fixed px(int pixels) { return pixels * 0x10000; }

std::string gameFolder() {
  const char* folder = std::getenv("ZEBROLITE_GAME_DIR");
  return folder != nullptr ? std::string(folder) : platform::folderOfExecutable() + "../game/";
}

// Everything the scene needs that lives for the whole run.
struct Stage {
  Stage() {
    platform::setDataFolder(gameFolder());
    platform::setSaveFolder(std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp"));
    shell::process().scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
    shell::process().scoreDisplay->setValue(0);
    shell::loadSharedAssets();
    game = std::make_unique<game::GameScreen>();
  }
  // The sounds go before the audio backend they were opened on.
  ~Stage() {
    game.reset();
    shell::freeSharedAssets();
  }
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;
  std::unique_ptr<game::GameScreen> game;
  gfx::Canvas canvas;
};

Stage& stage() {
  static Stage s;
  return s;
}

void buildBusyScene(game::GameScreen& g) {
  game::GameRig rig(g);
  platform::seedRandom(2024);
  g.startNewGame();
  g.setUpLevel();
  for (int row = 0; row < 16; ++row) {
    for (int col = 0; col < 12; ++col) rig.setCell(col, row, row < 8 ? 10 * (1 + (row + col) % 4) + row % 10 : 0);
  }
  rig.clearBalls();
  // Fire balls in the open space below the bricks; 20 updates fill their trails.
  for (int i = 0; i < 8; ++i) {
    const Fixed vx = (i % 2 == 0 ? 1 : -1) * (0x1000 + 0x300 * i);
    rig.addFlyingBall(px(20 + 25 * i), px(250), vx, -0x2000, 0x4000, game::BallKind::Fire);
  }
  rig.addRestingBall(px(110));
  for (int i = 0; i < 20; ++i) g.update(10);
  // Twenty fresh blasts in the brick rows (a Stone, Metal, Gem or Hide brick broken or hit).
  for (int i = 0; i < 20; ++i) {
    const int col = i % 10 + 1;
    const int row = 1 + 2 * (i / 10);
    rig.setCell(col, row, 10);
    rig.strikeCell(col, row);
  }
  // Two burning fire bricks with nothing around them.
  rig.setCell(2, 10, 60);
  rig.setCell(9, 10, 60);
  rig.strikeCell(2, 10);
  rig.strikeCell(9, 10);
  for (int i = 0; i < 6; ++i) {
    rig.addItem(static_cast<game::ItemKind>(i + 1), px(10 + 35 * i), px(140 + 8 * i), 0x800 * (i - 3), -0x400);
  }
  rig.setPaddleAttachment(game::Attachment::Guns);
  for (int i = 0; i < 4; ++i) g.fire();
}

void counters(benchmark::State& state, game::GameScreen& g) {
  const game::GameRig rig(g);
  state.counters["balls"] = rig.balls().size();
  state.counters["effects"] = rig.effectCount();
  state.counters["items"] = rig.items().size();
  state.counters["shots"] = rig.shots().size();
}

// The scene built again outside the timing, so that every measured step starts alike.
void rebuildUntimed(benchmark::State& state, Stage& s) {
  state.PauseTiming();
  buildBusyScene(*s.game);
  state.ResumeTiming();
}

void BM_GameUpdate(benchmark::State& state) {
  Stage& s = stage();
  for (auto _ : state) {
    rebuildUntimed(state, s);
    s.game->update(10);
  }
  counters(state, *s.game);
}

void BM_GameDraw(benchmark::State& state) {
  Stage& s = stage();
  buildBusyScene(*s.game);
  for (auto _ : state) {
    s.game->draw(s.canvas);
    benchmark::DoNotOptimize(s.canvas.pixelBlock());
  }
  counters(state, *s.game);
}

void BM_GameUpdateAndDraw(benchmark::State& state) {
  Stage& s = stage();
  for (auto _ : state) {
    rebuildUntimed(state, s);
    s.game->update(10);
    s.game->draw(s.canvas);
    benchmark::DoNotOptimize(s.canvas.pixelBlock());
  }
  counters(state, *s.game);
}

BENCHMARK(BM_GameUpdate)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameDraw)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameUpdateAndDraw)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace
