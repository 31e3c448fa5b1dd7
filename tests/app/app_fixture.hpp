// A GameApp on scratch data and save folders, with the process-wide state it reads, and the
// ways through the screens that the tests share.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "app/game_app.hpp"
#include "game/game_rig.hpp"
#include "shell/process_state.hpp"
#include "tests/support/scratch_folder.hpp"

namespace app_test {

// A fresh process state on scratch folders holding a level map with a stone brick in every
// cell (a level never cleared by itself), the music and the click.
class ShellFixture : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;
  static void setPen(int x, int y);
  // "AutoSave.dat" as level, lives and score; false when it is not there.
  bool readSavedGame(std::array<std::int32_t, 3>& values) const;

  testing_support::ScratchFolder data_;
  testing_support::ScratchFolder save_;
};

class AppFixture : public ShellFixture {
 public:
  void SetUp() override;
  void TearDown() override;

  app::GameApp& app() { return *app_; }
  game::GameScreen& game() { return *app_->game(); }
  game::GameRig rig() { return game::GameRig(game()); }
  void setScore(std::uint32_t value) { shell::process().scoreDisplay->setValue(value); }

  // Updates until the wipe is over; fails when it is not over after a whole wipe.
  void finishTransition();
  void expectTransitionTo(app::AppState target);
  void selectMenuItem(std::int32_t item);
  void toPlaying();  // from the menu, a new game and its level started
  // Straight to a screen, through a wipe from the menu.
  void reach(app::AppState state);

  std::unique_ptr<app::GameApp> app_;
};

}  // namespace app_test
