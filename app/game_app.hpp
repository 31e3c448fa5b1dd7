// The application object: owns the back buffer and every screen, and switches between them
// as a state machine over twelve states, every change of screen running through a wipe.
// (Skeleton: shows the cover only; the screens are still to be built.)
#pragma once

#include <cstdint>
#include <memory>

#include "game/game_screen.hpp"
#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"
#include "scores/high_score_screen.hpp"
#include "scores/name_entry_screen.hpp"
#include "sound/sound_clip.hpp"

namespace app {

enum class AppState : std::int32_t {
  Cover = 0,
  Menu = 1,
  Options = 2,
  Help = 3,
  About = 4,
  HighScores = 5,
  NameEntry = 6,
  LevelIntro = 7,
  Playing = 8,
  GameFailed = 9,
  GameWon = 10,
  Transition = 11,
};

const char* appStateName(AppState state);

class GameApp {
 public:
  // Makes the back buffer and draws the cover picture into it.
  GameApp();
  virtual ~GameApp();
  GameApp(const GameApp&) = delete;
  GameApp& operator=(const GameApp&) = delete;

  // Loads every screen, picture and the music; reads the score file and the level file.
  void createScreens();

  gfx::Canvas& backBuffer() { return *backBuffer_; }
  AppState state() const { return state_; }
  bool gameRunning() const { return gameRunning_; }
  game::GameScreen* game() { return game_.get(); }
  scores::HighScoreScreen* highScores() { return highScores_.get(); }
  scores::NameEntryScreen* nameEntry() { return nameEntry_.get(); }
  sound::SoundClip* music() { return music_.get(); }

  void update(std::int32_t step);  // step in milliseconds, always 10
  void draw();

  void onEnter();
  void onLeft();
  void onRight();
  void onUp();
  void onDown();
  void onAppButton3();
  void onAppButton4();
  void onKeyRelease();
  void onPenDown();
  void onPenMove();
  void onPenUp();
  // A key typed on the desktop keyboard while the name entry shows (letters, digits, space,
  // Backspace, Enter). True when the key was taken as typing and must not be routed further.
  bool onTypedKey(std::uint32_t key);

  void togglePause();
  void toggleMute();
  // Saves the game when one is in progress (playing, the level picture, or a wipe to either).
  void saveOnExit();

 private:
  std::unique_ptr<gfx::Canvas> backBuffer_;
  bool gameRunning_ = true;
  AppState state_ = AppState::Cover;
  std::unique_ptr<scores::HighScoreScreen> highScores_;
  std::unique_ptr<scores::NameEntryScreen> nameEntry_;
  std::unique_ptr<game::GameScreen> game_;
  std::unique_ptr<sound::SoundClip> music_;
  gfx::Surface coverPicture_;
};

}  // namespace app
