// A GameApp on scratch data and save folders, with the process-wide state it reads, and the
// ways through the screens that the tests share.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/game_app.hpp"
#include "app/process_state.hpp"
#include "tests/support/scratch_folder.hpp"

namespace app_test {

class AppFixture : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;
  // Runs before the application is made: where a test puts pictures into the data folder.
  virtual void prepareData() {}

  app::GameApp& app() { return *app_; }
  game::GameScreen& game() { return *app_->game(); }
  void setScore(std::int32_t value) { app::process().scoreDisplay->setValue(value); }

  // Updates until the wipe is over; fails when it is not over after a whole wipe.
  void finishTransition();
  void expectTransitionTo(app::AppState target);

  // The usual ways to the screens, each ending on the screen, not in the wipe.
  void toMenu();
  void selectMenuItem(std::int32_t item);
  void toLevelIntro();  // a new game
  void toPlaying();
  void toOptions();
  void toHelp();
  void toHighScores();
  // Where no input leads without a real game being lost or a score beating the table.
  void reach(app::AppState state);

  // "AutoSave.dat" as three numbers, or nothing when the file is not there.
  bool readSavedGame(std::array<std::int32_t, 3>& values) const;

  testing_support::ScratchFolder data_;
  testing_support::ScratchFolder save_;
  std::vector<std::string> messageBoxes_;
  std::unique_ptr<app::GameApp> app_;
};

}  // namespace app_test
