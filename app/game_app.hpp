// The application object: owns the back buffer, every screen, the full-screen pictures, the
// music and the wipe, and switches between the screens as a state machine over twelve
// states, every change of screen running through the wipe.
#pragma once

#include <cstdint>
#include <memory>

#include "app/app_state.hpp"
#include "app/game_observer.hpp"
#include "app/help_screen.hpp"
#include "app/main_menu.hpp"
#include "app/options_screen.hpp"
#include "app/screen_transition.hpp"
#include "game/game_screen.hpp"
#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"
#include "scores/high_score_screen.hpp"
#include "scores/name_entry_screen.hpp"
#include "sound/sound_clip.hpp"

namespace app {

// The picture a finished game ends on: won only when the last level was passed, which
// leaves the level number above GameScreen::kLastLevel; a game whose last life is lost is
// failed on any level.
AppState gameOverState(std::int32_t levelNumber);

// A number in the 16 x 16 digit cells of `digits` (digit d at source x 16 x d), centred
// across the 240-pixel width with its top at y 208, keyed on pure blue. Zero has no digits
// and draws nothing.
void drawBigNumber(gfx::Canvas& canvas, const gfx::Surface& digits, std::uint32_t value);

class GameApp {
 public:
  // Makes the back buffer and draws the cover picture into it.
  GameApp();
  virtual ~GameApp();
  GameApp(const GameApp&) = delete;
  GameApp& operator=(const GameApp&) = delete;

  // Loads every screen, picture and the music; the score screen reads the score file (and
  // with it the two options), the game the level file. The state is then Cover.
  void createScreens();
  // What a recorded game needs and no more: the wipe, the game and the pictures a game
  // shows. Such an application never reads or writes the player's files; without `drawing`
  // it draws nothing either (drawing changes no state: the verifier looks at no picture).
  void createReplayScreens(bool drawing);
  // A recorded game begins as "New game" or "Continue" began it, from `start`, with the wipe
  // at its rest whatever the game before it left.
  void beginRecordedGame(const game::SavedGame& start);
  // Told when a game starts, ends, is saved and enters the score table; null for none.
  void setObserver(GameObserver* observer) { observer_ = observer; }

  void update(std::int32_t step);  // step in milliseconds, always 10
  void draw();

  // Input, each acting by the current state.
  void onEnter();
  void onLeft();
  void onRight();
  // While playing, Up steers the paddle left and Down right, as Left and Right do: every key
  // of the handheld's four-way pad moves the paddle, none is dead in play.
  void onUp();
  void onDown();
  // The handheld's third application key (0xC3): mutes while playing; back to the menu from
  // the high scores; cancels the name entry.
  void onMuteOrBack();
  // Its fourth (0xC4): pauses and resumes while playing; sends the scores from the high
  // scores; accepts the name entry's name; Enter everywhere else.
  void onPauseOrConfirm();
  void onKeyRelease();
  void onPenDown();
  void onPenMove();
  void onPenUp();
  // A key of the desktop keyboard while the name entry shows: a letter A-Z, a digit, Space,
  // Backspace or Enter (which accepts the name). True when the key was taken as typing and
  // must not be routed further; false in every other state and for every other key.
  bool onTypedKey(std::uint32_t key);

  // Pauses or resumes the game and mutes or unmutes with it, in whatever state.
  void togglePause();
  // Playing, or the wipe into it: the screens on which a deactivation pauses the game.
  bool gameOnScreen() const;
  void toggleMute();
  // Saves the game when one is in progress: on the level picture, while playing, or during
  // the wipe to either.
  void saveOnExit();
  bool gameInProgress() const;

  // Draws the screen `from` into the wipe's first snapshot and `to` into its second, begins
  // the wipe (with its click) and enters the Transition state. Public so that tests and tools
  // can reach a screen directly.
  void startTransition(AppState from, AppState to);

  gfx::Canvas& backBuffer() { return *backBuffer_; }
  AppState state() const { return state_; }
  bool gameRunning() const { return gameRunning_; }
  game::GameScreen* game() { return game_.get(); }
  scores::HighScoreScreen* highScores() { return highScores_.get(); }
  scores::NameEntryScreen* nameEntry() { return nameEntry_.get(); }
  sound::SoundClip* music() { return music_.get(); }

  // What the headless driver's state dump reports; 0 (Menu for the target, null for the
  // clips) before createScreens.
  std::int32_t transitionStep() const { return transition_ ? transition_->step() : 0; }
  AppState transitionTarget() const { return transition_ ? transition_->target() : AppState::Menu; }
  std::int32_t menuSelection() const { return menu_ ? menu_->selection() : 0; }
  std::int32_t optionsSelection() const { return options_ ? options_->selection() : 0; }
  std::int32_t helpPage() const { return help_ ? help_->page() : 0; }
  const sound::SoundClip* musicClip() const { return music_.get(); }
  const sound::SoundClip* clickClip() const { return transition_ ? &transition_->clickSound() : nullptr; }

 private:
  void drawScreen(AppState screen, gfx::Canvas& canvas);
  void gameStep(std::int32_t step);
  void activateMenuItem();
  void activateOption();
  void nextHelpPage();
  void startLevel();
  void holdMusicForNewGame();
  void leaveGameOverPicture();
  void acceptName();
  void cancelName();
  void gameStarted();

  std::unique_ptr<gfx::Canvas> backBuffer_;
  bool gameRunning_ = true;
  AppState state_ = AppState::Cover;
  std::unique_ptr<ScreenTransition> transition_;
  std::unique_ptr<MainMenu> menu_;
  std::unique_ptr<OptionsScreen> options_;
  std::unique_ptr<scores::HighScoreScreen> highScores_;
  std::unique_ptr<scores::NameEntryScreen> nameEntry_;
  std::unique_ptr<HelpScreen> help_;
  std::unique_ptr<game::GameScreen> game_;
  std::unique_ptr<sound::SoundClip> music_;
  gfx::Surface coverPicture_;
  gfx::Surface aboutPicture_;
  gfx::Surface wonPicture_;
  gfx::Surface failedPicture_;
  gfx::Surface levelPicture_;
  gfx::Surface pausePicture_;
  gfx::Surface bigDigits_;
  GameObserver* observer_ = nullptr;
  bool replaying_ = false;  // no player files, no screens but the game's
  bool drawing_ = true;
};

}  // namespace app
