#include "app/game_app.hpp"

#include <algorithm>

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "platform/files.hpp"
#include "platform/messages.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

constexpr int kBigDigitSize = 16;
constexpr int kBigNumberTop = 208;

void drawPicture(gfx::Canvas& canvas, const gfx::Surface& picture) {
  gfx::drawSprite(canvas, 0, 0, 0, 0, &picture, 0, 0, gfx::kNoColourKey);
}

bool musicAudible() { return shell::process().musicOn != 0 && !shell::process().muted; }

}  // namespace

AppState gameOverState(std::int32_t levelNumber) {
  return levelNumber > game::GameScreen::kLastLevel ? AppState::GameWon : AppState::GameFailed;
}

void drawBigNumber(gfx::Canvas& canvas, const gfx::Surface& digits, std::uint32_t value) {
  int count = 0;
  for (std::uint32_t rest = value; rest != 0; rest /= 10) ++count;
  const int left = (platform::kScreenWidth - kBigDigitSize * count) / 2;
  std::uint32_t rest = value;
  for (int k = 0; k < count; ++k, rest /= 10) {
    const auto digit = static_cast<std::int32_t>(rest % 10);
    gfx::drawSprite(canvas, toFixed(left + kBigDigitSize * (count - 1 - k)), toFixed(kBigNumberTop),
                    toFixed(kBigDigitSize), toFixed(kBigDigitSize), &digits, toFixed(kBigDigitSize * digit), 0,
                    gfx::kKeyBlue);
  }
}

GameApp::GameApp() : backBuffer_(std::make_unique<gfx::Canvas>()) {
  gfx::loadPicture(coverPicture_, gfx::imagePath("cover.png"));
  drawPicture(*backBuffer_, coverPicture_);
}

GameApp::~GameApp() {
  backBuffer_.reset();
  transition_.reset();
  menu_.reset();
  options_.reset();
  highScores_.reset();
  nameEntry_.reset();
  help_.reset();
  game_.reset();
  coverPicture_.clear();
  aboutPicture_.clear();
  wonPicture_.clear();
  failedPicture_.clear();
  levelPicture_.clear();
  bigDigits_.clear();
  pausePicture_.clear();
  music_.reset();
}

void GameApp::createScreens() {
  transition_ = std::make_unique<ScreenTransition>();
  menu_ = std::make_unique<MainMenu>();
  options_ = std::make_unique<OptionsScreen>();
  highScores_ = std::make_unique<scores::HighScoreScreen>();
  nameEntry_ = std::make_unique<scores::NameEntryScreen>();
  help_ = std::make_unique<HelpScreen>();
  game_ = std::make_unique<game::GameScreen>();
  gfx::loadPicture(aboutPicture_, gfx::imagePath("about.png"));
  gfx::loadPicture(wonPicture_, gfx::imagePath("win.png"));
  gfx::loadPicture(failedPicture_, gfx::imagePath("fail.png"));
  gfx::loadPicture(levelPicture_, gfx::imagePath("pass.png"));
  gfx::loadPicture(pausePicture_, gfx::imagePath("pause.png"));
  gfx::loadPictureResource(bigDigits_, 143);
  music_ = std::make_unique<sound::SoundClip>(platform::dataPath("music.wav"), true);
  state_ = AppState::Cover;
}

void GameApp::createReplayScreens(bool drawing) {
  replaying_ = true;
  drawing_ = drawing;
  transition_ = std::make_unique<ScreenTransition>();
  game_ = std::make_unique<game::GameScreen>();
  if (drawing) {
    gfx::loadPicture(wonPicture_, gfx::imagePath("win.png"));
    gfx::loadPicture(failedPicture_, gfx::imagePath("fail.png"));
    gfx::loadPicture(levelPicture_, gfx::imagePath("pass.png"));
    gfx::loadPicture(pausePicture_, gfx::imagePath("pause.png"));
    gfx::loadPictureResource(bigDigits_, 143);
  }
  state_ = AppState::Menu;
}

void GameApp::beginRecordedGame(const game::SavedGame& start) {
  transition_->rewind();
  gameRunning_ = true;
  game_->resumeGame(start);
  holdMusicForNewGame();
  startTransition(AppState::Menu, AppState::LevelIntro);
}

void GameApp::gameStarted() {
  if (observer_ != nullptr) observer_->gameStarted(game_->progress());
}

void GameApp::drawScreen(AppState screen, gfx::Canvas& canvas) {
  if (!drawing_) {
    // No picture, but what drawing the game does to play.
    if (screen == AppState::Playing && gameRunning_ && game_) game_->skipDraw();
    return;
  }
  switch (screen) {
    case AppState::Cover:
      gfx::drawSprite(canvas, 0, 0, toFixed(platform::kScreenWidth), toFixed(platform::kScreenHeight), &coverPicture_, 0, 0,
                      gfx::kNoColourKey);
      break;
    case AppState::Menu:
      if (menu_) menu_->draw(canvas);
      break;
    case AppState::Options:
      if (options_) options_->draw(canvas);
      break;
    case AppState::Help:
      if (help_) help_->draw(canvas);
      break;
    case AppState::About:
      drawPicture(canvas, aboutPicture_);
      break;
    case AppState::HighScores:
      if (highScores_) highScores_->draw(canvas);
      break;
    case AppState::NameEntry:
      if (nameEntry_) nameEntry_->draw(canvas);
      break;
    case AppState::LevelIntro:
      drawPicture(canvas, levelPicture_);
      if (game_) drawBigNumber(canvas, bigDigits_, static_cast<std::uint32_t>(std::max(game_->levelNumber(), 0)));
      break;
    case AppState::Playing:
      if (!gameRunning_) {
        drawPicture(canvas, pausePicture_);
      } else if (game_) {
        game_->draw(canvas);
      }
      break;
    case AppState::GameFailed:
      drawPicture(canvas, failedPicture_);
      drawBigNumber(canvas, bigDigits_, shell::currentScore());
      break;
    case AppState::GameWon:
      drawPicture(canvas, wonPicture_);
      break;
    case AppState::Transition:
      if (transition_) transition_->draw(canvas);
      break;
  }
}

void GameApp::draw() { drawScreen(state_, *backBuffer_); }

void GameApp::startTransition(AppState from, AppState to) {
  if (!transition_) return;
  drawScreen(from, transition_->from());
  if (from == AppState::HighScores && highScores_) highScores_->clearExchangeLine();
  drawScreen(to, transition_->to());
  transition_->begin(to);
  state_ = AppState::Transition;
}

void GameApp::update(std::int32_t step) {
  switch (state_) {
    case AppState::Cover:
      startTransition(AppState::Cover, AppState::About);
      break;
    case AppState::HighScores:
      highScores_->update();
      break;
    case AppState::Playing:
      gameStep(step);
      break;
    case AppState::Transition:
      if (transition_->advance()) state_ = transition_->target();
      break;
    default:
      break;
  }
}

void GameApp::gameStep(std::int32_t step) {
  if (!gameRunning_) return;
  game_->update(step);
  if (game_->isGameEnded()) {
    if (shell::process().musicOn != 0 && music_) music_->pause();
    if (!replaying_) game_->resetSavedGame();
    startTransition(AppState::Playing, gameOverState(game_->levelNumber()));
    if (observer_ != nullptr) observer_->gameEnded();
  } else if (game_->isLevelPassed()) {
    startTransition(AppState::Playing, AppState::LevelIntro);
  }
}

void GameApp::holdMusicForNewGame() {
  // The first time this queues the looping clip and holds it near its start; afterwards the
  // clip is still queued, the play is refused and only the pause acts.
  if (!musicAudible() || !music_) return;
  music_->play();
  music_->pause();
}

void GameApp::activateMenuItem() {
  switch (menu_->selection()) {
    case MainMenu::NewGame:
      game_->startNewGame();
      holdMusicForNewGame();
      startTransition(AppState::Menu, AppState::LevelIntro);
      gameStarted();
      break;
    case MainMenu::Continue:
      game_->loadSavedGame();
      holdMusicForNewGame();
      startTransition(AppState::Menu, AppState::LevelIntro);
      gameStarted();
      break;
    case MainMenu::Options:
      startTransition(AppState::Menu, AppState::Options);
      break;
    case MainMenu::HighScores:
      startTransition(AppState::Menu, AppState::HighScores);
      break;
    case MainMenu::Help:
      startTransition(AppState::Menu, AppState::Help);
      break;
    default:
      break;
  }
}

void GameApp::activateOption() {
  // The switches change only the option bytes; the music follows at its next event.
  switch (options_->selection()) {
    case OptionsScreen::MusicRow:
      shell::process().musicOn = shell::process().musicOn != 0 ? 0 : 1;
      break;
    case OptionsScreen::SoundRow:
      shell::process().soundOn = shell::process().soundOn != 0 ? 0 : 1;
      break;
    case OptionsScreen::AboutRow:
      startTransition(AppState::Options, AppState::About);
      break;
    case OptionsScreen::BackRow:
      startTransition(AppState::Options, AppState::Menu);
      break;
    default:
      break;
  }
}

void GameApp::nextHelpPage() {
  if (help_->page() >= HelpScreen::kPages - 1) {
    startTransition(AppState::Help, AppState::Menu);
    help_->resetPage();
    return;
  }
  drawScreen(AppState::Help, transition_->from());
  help_->nextPage();
  drawScreen(AppState::Help, transition_->to());
  transition_->begin(AppState::Help);
  state_ = AppState::Transition;
}

void GameApp::startLevel() {
  game_->setUpLevel();
  gameRunning_ = true;
  if (musicAudible() && music_) music_->restart();
  startTransition(AppState::LevelIntro, AppState::Playing);
}

void GameApp::leaveGameOverPicture() {
  // Unsigned on both sides, as the table compares: a lowest score of 2^31 or more is beaten
  // only by a higher one, and a higher one is never refused after its name was typed.
  const bool entersTable = shell::currentScore() > highScores_->lowestScore();
  startTransition(state_, entersTable ? AppState::NameEntry : AppState::Menu);
}

void GameApp::acceptName() {
  const std::u16string name = nameEntry_->nameText();
  const std::uint32_t score = shell::currentScore();
  const bool entered = highScores_->insertScore(name, score);
  if (entered && observer_ != nullptr) observer_->scoreEntered(name, score);
  startTransition(AppState::NameEntry, AppState::HighScores);
}

void GameApp::cancelName() { startTransition(AppState::NameEntry, AppState::HighScores); }

void GameApp::onEnter() {
  switch (state_) {
    case AppState::Cover:
      startTransition(AppState::Cover, AppState::About);
      break;
    case AppState::Menu:
      activateMenuItem();
      break;
    case AppState::Options:
      activateOption();
      break;
    case AppState::Help:
      nextHelpPage();
      break;
    case AppState::About:
      startTransition(AppState::About, AppState::Menu);
      break;
    case AppState::HighScores:
      startTransition(AppState::HighScores, AppState::Menu);
      break;
    case AppState::NameEntry:
      nameEntry_->pickCell();
      break;
    case AppState::LevelIntro:
      startLevel();
      break;
    case AppState::Playing:
      game_->fire();  // also while paused: a resting ball leaves when the game resumes
      break;
    case AppState::GameFailed:
    case AppState::GameWon:
      leaveGameOverPicture();
      break;
    case AppState::Transition:
      break;
  }
}

void GameApp::onUp() {
  switch (state_) {
    case AppState::Menu: menu_->selectUp(); break;
    case AppState::Options: options_->selectUp(); break;
    case AppState::HighScores: highScores_->scrollUp(); break;
    case AppState::NameEntry: nameEntry_->cursorUp(); break;
    case AppState::Playing: game_->moveLeft(); break;  // as Left does
    default: break;
  }
}

void GameApp::onDown() {
  switch (state_) {
    case AppState::Menu: menu_->selectDown(); break;
    case AppState::Options: options_->selectDown(); break;
    case AppState::HighScores: highScores_->scrollDown(); break;
    case AppState::NameEntry: nameEntry_->cursorDown(); break;
    case AppState::Playing: game_->moveRight(); break;  // as Right does
    default: break;
  }
}

void GameApp::onLeft() {
  switch (state_) {
    case AppState::NameEntry: nameEntry_->cursorLeft(); break;
    case AppState::Playing: game_->moveLeft(); break;
    default: break;
  }
}

void GameApp::onRight() {
  switch (state_) {
    case AppState::NameEntry: nameEntry_->cursorRight(); break;
    case AppState::Playing: game_->moveRight(); break;
    default: break;
  }
}

void GameApp::onKeyRelease() {
  switch (state_) {
    case AppState::HighScores: highScores_->stopScrolling(); break;
    case AppState::Playing: game_->stopPaddle(); break;
    default: break;
  }
}

void GameApp::onPauseOrConfirm() {
  switch (state_) {
    case AppState::HighScores: highScores_->requestUpload(); break;
    case AppState::NameEntry: acceptName(); break;
    case AppState::Playing: togglePause(); break;
    default: onEnter(); break;
  }
}

void GameApp::onMuteOrBack() {
  switch (state_) {
    case AppState::HighScores: onEnter(); break;
    case AppState::NameEntry: cancelName(); break;
    case AppState::Playing: toggleMute(); break;
    default: break;
  }
}

void GameApp::onPenDown() {
  switch (state_) {
    case AppState::Menu: menu_->penSelect(); break;
    case AppState::Options:
    case AppState::HighScores: break;
    case AppState::NameEntry: nameEntry_->penAt(); break;
    case AppState::Playing: game_->steerToPen(); break;
    default: onEnter(); break;
  }
}

void GameApp::onPenMove() {
  switch (state_) {
    case AppState::Menu: menu_->dragSelect(); break;
    case AppState::Options:
    case AppState::HighScores: break;
    case AppState::NameEntry: nameEntry_->penAt(); break;
    case AppState::Playing: game_->steerToPen(); break;
    default: onEnter(); break;
  }
}

void GameApp::onPenUp() {
  switch (state_) {
    case AppState::Menu:
      activateMenuItem();
      break;
    case AppState::Options:
      switch (options_->releaseTest()) {
        case OptionsScreen::Release::About: startTransition(AppState::Options, AppState::About); break;
        case OptionsScreen::Release::Back: startTransition(AppState::Options, AppState::Menu); break;
        default: break;
      }
      break;
    case AppState::HighScores:
      if (highScores_->penReleased() == scores::HighScoreScreen::Release::Back) {
        startTransition(AppState::HighScores, AppState::Menu);
      }
      break;
    case AppState::NameEntry:
      switch (nameEntry_->classifyRelease()) {
        case scores::NameEntryScreen::Release::Ok: acceptName(); break;
        case scores::NameEntryScreen::Release::Cancel: cancelName(); break;
        case scores::NameEntryScreen::Release::Keyboard: nameEntry_->pickCell(); break;
        default: break;
      }
      break;
    case AppState::Playing:
      break;
    default:
      onEnter();
      break;
  }
}

bool GameApp::onTypedKey(std::uint32_t key) {
  if (state_ != AppState::NameEntry) return false;
  const bool letter = key >= 'A' && key <= 'Z';
  const bool digit = key >= '0' && key <= '9';
  if (letter || digit || key == win::VK_SPACE) {
    nameEntry_->typeCharacter(static_cast<char16_t>(key));
  } else if (key == win::VK_BACK) {
    nameEntry_->typeDelete();
  } else if (key == win::VK_RETURN) {
    acceptName();
  } else {
    return false;
  }
  return true;
}

bool GameApp::gameOnScreen() const {
  return state_ == AppState::Playing || (state_ == AppState::Transition && transitionTarget() == AppState::Playing);
}

void GameApp::togglePause() {
  gameRunning_ = !gameRunning_;
  toggleMute();
}

void GameApp::toggleMute() {
  shell::process().muted = !shell::process().muted;
  if (shell::process().musicOn == 0 || !music_) return;
  if (shell::process().muted) {
    music_->pause();
  } else {
    music_->restart();
  }
}

bool GameApp::gameInProgress() const {
  if (!game_) return false;
  const auto inProgress = [](AppState s) { return s == AppState::LevelIntro || s == AppState::Playing; };
  return inProgress(state_) || (state_ == AppState::Transition && inProgress(transition_->target()));
}

void GameApp::saveOnExit() {
  if (replaying_ || !gameInProgress()) return;
  game_->saveGame();
  if (observer_ != nullptr) observer_->gameSaved(game_->progress());
}

}  // namespace app
