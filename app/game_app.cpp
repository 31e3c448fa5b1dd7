#include "app/game_app.hpp"

#include "app/process_state.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/files.hpp"

namespace app {

const char* appStateName(AppState state) {
  static constexpr const char* kNames[] = {"Cover",      "Menu",      "Options",    "Help",
                                           "About",      "HighScores", "NameEntry", "LevelIntro",
                                           "Playing",    "GameFailed", "GameWon",   "Transition"};
  const auto index = static_cast<std::size_t>(state);
  return index < std::size(kNames) ? kNames[index] : "Unknown";
}

GameApp::GameApp() : backBuffer_(std::make_unique<gfx::Canvas>()) {
  gfx::loadPicture(coverPicture_, gfx::imagePath("cover.png"));
  gfx::drawSprite(*backBuffer_, 0, 0, 0, 0, &coverPicture_, 0, 0, gfx::kNoColourKey);
}

GameApp::~GameApp() = default;

void GameApp::createScreens() {
  highScores_ = std::make_unique<scores::HighScoreScreen>();
  nameEntry_ = std::make_unique<scores::NameEntryScreen>();
  game_ = std::make_unique<game::GameScreen>();
  music_ = std::make_unique<sound::SoundClip>(platform::dataPath("music.wav"), true);
  state_ = AppState::Cover;
}

void GameApp::update(std::int32_t) {}

void GameApp::draw() {
  gfx::drawSprite(*backBuffer_, 0, 0, toFixed(240), toFixed(320), &coverPicture_, 0, 0, gfx::kNoColourKey);
}

void GameApp::onEnter() {}
void GameApp::onLeft() {}
void GameApp::onRight() {}
void GameApp::onUp() {}
void GameApp::onDown() {}
void GameApp::onAppButton3() {}
void GameApp::onAppButton4() {}
void GameApp::onKeyRelease() {}
void GameApp::onPenDown() {}
void GameApp::onPenMove() {}
void GameApp::onPenUp() {}
bool GameApp::onTypedKey(std::uint32_t) { return false; }

void GameApp::togglePause() {
  gameRunning_ = !gameRunning_;
  toggleMute();
}

void GameApp::toggleMute() {
  process().muted = !process().muted;
  if (process().musicOn == 0 || !music_) return;
  if (process().muted) {
    music_->pause();
  } else {
    music_->restart();
  }
}

void GameApp::saveOnExit() {
  if (state_ == AppState::LevelIntro || state_ == AppState::Playing) game_->saveGame();
}

}  // namespace app
