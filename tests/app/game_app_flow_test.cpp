// The screen flow: every way between the screens, the input of each screen, with the side
// effects where they belong: the game, the table, the music, the saved game, the pictures.
#include <filesystem>

#include "gfx/pixel.hpp"
#include "platform/messages.hpp"
#include "scores/score_upload.hpp"
#include "tests/app/app_fixture.hpp"
#include "tests/support/loopback_http_server.hpp"
#include "tests/support/test_files.hpp"

namespace app_test {
namespace {

using app::AppState;
using shell::process;
using FlowTest = AppFixture;
using A = app::GameApp;

// Sends the inputs in turn.
void send(A& a, std::initializer_list<void (A::*)()> inputs) {
  for (const auto input : inputs) (a.*input)();
}

TEST_F(FlowTest, FirstUpdateWipesFromTheCoverToTheAboutPictureIn56Updates) {
  app().update(10);
  expectTransitionTo(AppState::About);
  for (int i = 1; i < 56; ++i) app().update(10);
  EXPECT_EQ(app().transitionStep(), 55);
  app().update(10);
  EXPECT_EQ(app().state(), AppState::About);
  EXPECT_EQ(app().transitionStep(), 0);
}

// The full-screen pictures go on with Enter, 0xC4 and any stylus action (a tap acts at pen
// down; what follows it arrives in the wipe, where every input is ignored).
TEST_F(FlowTest, PicturesGoOnWithEnterAppButton4AndTheStylusAndTheWipeIgnoresEverything) {
  const std::pair<AppState, AppState> pictures[] = {
      {AppState::Cover, AppState::About},      {AppState::About, AppState::Menu},       {AppState::Help, AppState::Help},
      {AppState::LevelIntro, AppState::Playing}, {AppState::GameFailed, AppState::Menu}, {AppState::GameWon, AppState::Menu}};
  setScore(app().highScores()->lowestScore());
  for (const auto& [picture, next] : pictures) {
    for (const auto input : {&A::onEnter, &A::onPauseOrConfirm, &A::onPenDown, &A::onPenMove, &A::onPenUp}) {
      reach(picture);
      const bool lastHelpPage = picture == AppState::Help && app().helpPage() == 3;
      (app().*input)();
      app().update(10);
      send(app(), {&A::onEnter, &A::onLeft, &A::onRight, &A::onUp, &A::onDown, &A::onMuteOrBack, &A::onPauseOrConfirm,
                   &A::onKeyRelease, &A::onPenDown, &A::onPenMove, &A::onPenUp});
      EXPECT_FALSE(app().onTypedKey('A'));
      expectTransitionTo(lastHelpPage ? AppState::Menu : next);
      EXPECT_EQ(app().transitionStep(), 1);
    }
  }
}

TEST_F(FlowTest, MenuItemsAreActivatedByEnterAppButton4AndPenUpWhereverItIs) {
  const AppState screens[] = {AppState::LevelIntro, AppState::LevelIntro, AppState::Options, AppState::HighScores,
                              AppState::Help};
  for (std::int32_t item = 0; item < 5; ++item) {
    for (const auto input : {&A::onEnter, &A::onPauseOrConfirm, &A::onPenUp}) {
      reach(AppState::Menu);
      selectMenuItem(item);
      setPen(5, 300);
      (app().*input)();
      expectTransitionTo(screens[item]);
    }
  }
  reach(AppState::Menu);
  setPen(120, 300);  // below the menu: row 5, without an item
  app().onPenDown();
  EXPECT_EQ(app().menuSelection(), 5);
  app().onPenUp();
  app().onEnter();
  EXPECT_EQ(app().state(), AppState::Menu);
  app().onDown();
  EXPECT_EQ(app().menuSelection(), 1);
}

TEST_F(FlowTest, NewGameAndContinueSetUpTheGameBeforeTheWipeAndStartingTheLevelRunsIt) {
  toPlaying();
  game().passLevel();
  setScore(840);
  app().saveOnExit();
  reach(AppState::Menu);
  selectMenuItem(0);
  app().onEnter();  // the level picture's snapshot already shows level 1
  expectTransitionTo(AppState::LevelIntro);
  EXPECT_EQ(game().levelNumber(), 1);
  EXPECT_EQ(process().scoreDisplay->value(), 0);
  reach(AppState::Menu);
  selectMenuItem(1);
  app().onEnter();
  expectTransitionTo(AppState::LevelIntro);
  EXPECT_EQ(game().levelNumber(), 2);
  EXPECT_EQ(process().scoreDisplay->value(), 840);
  finishTransition();
  game().passLevel();
  app().togglePause();  // the window lost its activity on the level picture
  app().onEnter();
  expectTransitionTo(AppState::Playing);
  EXPECT_FALSE(game().isLevelPassed());
  EXPECT_TRUE(app().gameRunning());
}

// Enter, 0xC4 or a pen release act on a row: the switches toggle and stay, about and back leave.
TEST_F(FlowTest, OptionsToggleOrLeaveForAboutOrTheMenu) {
  const AppState after[] = {AppState::Options, AppState::Options, AppState::About, AppState::Menu};
  const std::pair<int, int> pens[] = {{10, 110}, {10, 160}, {10, 210}, {100, 270}};
  for (const auto input : {&A::onEnter, &A::onPauseOrConfirm, &A::onPenUp}) {
    for (std::int32_t row = 0; row < 4; ++row) {
      reach(AppState::Options);
      while (input != &A::onPenUp && app().optionsSelection() != row) app().onDown();
      setPen(pens[row].first, pens[row].second);
      send(app(), {&A::onPenDown, &A::onPenMove});
      const std::pair<int, int> before{process().musicOn, process().soundOn};
      (app().*input)();
      EXPECT_EQ(app().state() == AppState::Options ? AppState::Options : app().transitionTarget(), after[row]) << row;
      EXPECT_EQ(process().musicOn != before.first, row == 0) << row;
      EXPECT_EQ(process().soundOn != before.second, row == 1) << row;
    }
  }
  reach(AppState::Options);
  app().onUp();  // from back, where the last release put the highlight
  EXPECT_EQ(app().optionsSelection(), 2);
}

TEST_F(FlowTest, HelpPagesTurnWithAWipeAndTheLastLeadsBackToTheMenu) {
  reach(AppState::Help);
  for (std::int32_t page = 1; page <= 3; ++page) {
    app().onEnter();
    EXPECT_EQ(app().helpPage(), page);  // turned at once: the wipe's second snapshot shows it
    expectTransitionTo(AppState::Help);
    finishTransition();
  }
  app().onEnter();
  expectTransitionTo(AppState::Menu);
  EXPECT_EQ(app().helpPage(), 0);
}

TEST_F(FlowTest, TheExchangesLineStaysUntilTheHighScoresAreLeft) {
  scores::setScoreServer(testing_support::LoopbackHttpServer::closedAddress());
  for (const auto input : {&A::onEnter, &A::onMuteOrBack, &A::onPenUp}) {
    reach(AppState::HighScores);
    app().onPauseOrConfirm();
    app().draw();
    app().update(10);
    app().draw();
    app().update(10);
    EXPECT_EQ(app().highScores()->exchangeLine(), u"Server not reached");
    setPen(200, 280);  // the back button
    (app().*input)();
    expectTransitionTo(AppState::Menu);
    EXPECT_TRUE(app().highScores()->exchangeLine().empty());
  }
  scores::setScoreServer("");
}

TEST_F(FlowTest, HighScoresScrollUploadAndGoBack) {
  reach(AppState::HighScores);
  scores::HighScoreScreen& screen = *app().highScores();
  app().onDown();
  for (int i = 0; i < 2; ++i) app().update(10);
  app().onKeyRelease();
  app().update(10);
  app().onUp();
  app().update(10);
  EXPECT_EQ(screen.firstRow(), 1);
  setPen(120, 100);
  send(app(), {&A::onPenDown, &A::onPenMove, &A::onPenUp, &A::onPauseOrConfirm});
  EXPECT_EQ(screen.uploadState(), scores::HighScoreScreen::kUploadRequested);
  EXPECT_EQ(app().state(), AppState::HighScores);
  for (const auto input : {&A::onEnter, &A::onMuteOrBack, &A::onPenUp}) {
    reach(AppState::HighScores);
    setPen(200, 280);  // the back button
    (app().*input)();
    expectTransitionTo(AppState::Menu);
  }
}

TEST_F(FlowTest, NameEntryPicksAndAcceptsIntoTheTableOrCancels) {
  setScore(5000);
  struct Case {
    void (A::*input)();
    int penX, penY;
    bool inserted;
  };
  const Case cases[] = {{&A::onPauseOrConfirm, 0, 0, true},
                        {&A::onPenUp, 50, 300, true},  // OK
                        {&A::onMuteOrBack, 0, 0, false},
                        {&A::onPenUp, 200, 300, false}};  // cancel
  int inserted = 0;
  for (const Case& c : cases) {
    reach(AppState::NameEntry);
    while (app().nameEntry()->count() > 0) app().onTypedKey(win::VK_BACK);
    setPen(24 * 1 + 5, 92 + 28 * 1 + 5);  // B, then C to its right, then B again by way of L and K
    send(app(), {&A::onPenDown, &A::onPenUp, &A::onRight, &A::onEnter, &A::onDown, &A::onLeft, &A::onUp, &A::onEnter});
    setPen(120, 60);  // neither keyboard, OK nor cancel
    app().onPenUp();
    EXPECT_EQ(app().nameEntry()->nameText(), u"BCB");
    setPen(c.penX, c.penY);
    (app().*c.input)();
    expectTransitionTo(AppState::HighScores);
    inserted += c.inserted ? 1 : 0;
    const scores::ScoreEntry& e = app().highScores()->table().entry(static_cast<std::size_t>(inserted > 0 ? inserted - 1 : 0));
    EXPECT_EQ(e.nameText() == u"BCB" && e.score == 5000, inserted > 0);
    EXPECT_EQ(app().highScores()->table().entry(static_cast<std::size_t>(inserted)).score, 100u);
  }
}

TEST_F(FlowTest, PlayingRoutesTheKeysAndTheStylusToTheGame) {
  toPlaying();
  const game::Paddle& paddle = rig().paddle();
  const std::pair<void (A::*)(), game::MoveState> moves[] = {
      {&A::onUp, game::MoveState::Left},      {&A::onKeyRelease, game::MoveState::Stopped},
      {&A::onDown, game::MoveState::Right},   {&A::onLeft, game::MoveState::Left},
      {&A::onRight, game::MoveState::Right},  {&A::onKeyRelease, game::MoveState::Stopped}};
  for (const auto& [input, state] : moves) {
    (app().*input)();
    EXPECT_EQ(paddle.moveState(), state);
  }
  for (const auto& [input, penX] : {std::pair{&A::onPenDown, 60}, {&A::onPenMove, 150}}) {
    setPen(penX, 300);
    (app().*input)();
    EXPECT_EQ(paddle.x() + (paddle.width() >> 1), toFixed(penX));
  }
  app().onPenUp();
  app().onPauseOrConfirm();  // pause: no game step, the pause mutes
  EXPECT_FALSE(app().gameRunning());
  EXPECT_TRUE(process().muted);
  app().onEnter();  // fires while paused
  EXPECT_FALSE((*rig().balls().begin())->stuck());
  game().passLevel();
  app().update(10);
  EXPECT_EQ(app().state(), AppState::Playing);
  app().onMuteOrBack();  // only the mute
  EXPECT_FALSE(process().muted);
  EXPECT_FALSE(app().gameRunning());
  app().onPauseOrConfirm();
  EXPECT_TRUE(process().muted);
  app().onMuteOrBack();
  app().update(10);
  expectTransitionTo(AppState::LevelIntro);
  EXPECT_EQ(game().levelNumber(), 2);
}

TEST(GameOverStateTest, OnlyAGameBeyondTheLastLevelIsWon) {
  for (const auto& [level, state] : {std::pair{0, AppState::GameFailed}, {1, AppState::GameFailed},
                                     {3, AppState::GameFailed}, {4, AppState::GameWon}, {51, AppState::GameWon}}) {
    EXPECT_EQ(app::gameOverState(level), state) << level;
  }
}

// From either game-over picture a score above the table's lowest leads to the name entry.
TEST_F(FlowTest, AScoreAboveTheLowestLeadsFromEitherGameOverPictureToTheNameEntry) {
  const std::uint32_t lowest = app().highScores()->lowestScore();
  for (const AppState picture : {AppState::GameFailed, AppState::GameWon}) {
    for (const auto& [score, next] : {std::pair{lowest + 1, AppState::NameEntry}, {lowest, AppState::Menu}}) {
      reach(picture);
      setScore(score);
      app().onPauseOrConfirm();
      expectTransitionTo(next);
    }
  }
  toPlaying();  // and the whole road of a won game
  setScore(lowest + 1000);
  for (int i = 0; i < 3; ++i) game().passLevel();
  app().update(10);
  finishTransition();
  ASSERT_EQ(app().state(), AppState::GameWon);
  app().onPenDown();
  expectTransitionTo(AppState::NameEntry);
}

// A table whose lowest score is 2^31 or more once showed the name entry for a lower score,
// compared as signed numbers, and then dropped the new score. Unsigned throughout, a lower
// score goes to the menu, and a higher one that is named enters the table.
TEST_F(FlowTest, ScoresPast2To31AreComparedAsTheUnsignedNumbersTheyAre) {
  scores::ScoreTable& table = app().highScores()->table();
  for (std::size_t i = 0; i < scores::ScoreTable::kEntries; ++i) table.entry(i).score = 4000000000u - 10 * i;
  const std::uint32_t lowest = app().highScores()->lowestScore();
  ASSERT_EQ(lowest, 3999999010u);
  for (const auto& [score, next] : {std::pair{2000000000u, AppState::Menu}, {lowest, AppState::Menu},
                                    {lowest + 1, AppState::NameEntry}, {4294967295u, AppState::NameEntry}}) {
    reach(AppState::GameFailed);
    setScore(score);
    app().onEnter();
    expectTransitionTo(next);
  }
  finishTransition();
  for (const char key : {'Z', 'E', 'B'}) app().onTypedKey(static_cast<std::uint32_t>(key));
  app().onTypedKey(win::VK_RETURN);
  const scores::ScoreEntry& best = table.entry(0);
  EXPECT_EQ(std::tuple(best.nameText(), best.score, best.pendingUpload), std::tuple(std::u16string(u"ZEB"), 4294967295u, 1));
}

// The music never starts on its own: a new game queues and holds it, a level restarts it, the
// pause and the mute hold it, the end of a game pauses it, and the option switch leaves it.
TEST_F(FlowTest, TheMusicFollowsTheGame) {
  const sound::SoundClip& music = *app().musicClip();
  process().musicOn = 0;
  reach(AppState::Menu);
  app().onEnter();
  EXPECT_EQ(music.plays(), 0);
  process().musicOn = 1;
  reach(AppState::Menu);
  app().onEnter();
  EXPECT_TRUE(music.plays() == 1 && music.paused());
  finishTransition();
  app().onEnter();
  EXPECT_FALSE(music.paused());
  finishTransition();
  for (const auto toggle : {&A::onPauseOrConfirm, &A::onMuteOrBack}) {
    (app().*toggle)();
    EXPECT_TRUE(music.paused());
    (app().*toggle)();
    EXPECT_FALSE(music.paused());
  }
  process().musicOn = 0;  // with the option off the mute leaves the music alone
  app().onMuteOrBack();
  EXPECT_FALSE(music.paused());
  app().onMuteOrBack();
  process().musicOn = 1;
  process().muted = true;  // the end of a game pauses even while muted
  for (int i = 0; i < 3; ++i) game().passLevel();
  app().update(10);
  EXPECT_TRUE(music.paused());
  process().muted = false;
  reach(AppState::Options);
  app().onEnter();
  app().onEnter();
  EXPECT_TRUE(music.paused());  // the option switch does not touch it
  reach(AppState::Menu);
  app().onEnter();  // still queued: the play is refused, the pause acts
  EXPECT_EQ(music.plays(), 1);
  process().muted = true;
  finishTransition();
  app().onEnter();
  EXPECT_TRUE(music.paused());  // a level started while muted stays silent
}

// Closing the program: only a game in progress is saved, on the level picture, while playing
// (paused too) or during the wipe to either; a finished game leaves level 1, 3 lives, score 0.
TEST_F(FlowTest, SavesOnExitOnlyAGameInProgress) {
  const auto saved = [&](std::array<std::int32_t, 3> expected) {
    std::filesystem::remove(save_.file("AutoSave.dat"));
    setScore(840);
    app().saveOnExit();
    std::array<std::int32_t, 3> values{};
    return readSavedGame(values) && values == expected;
  };
  const std::array<std::int32_t, 3> inProgress{2, 3, 840};
  toPlaying();
  game().passLevel();
  EXPECT_TRUE(saved(inProgress));
  app().onPauseOrConfirm();
  EXPECT_TRUE(saved(inProgress));  // paused too
  app().onPauseOrConfirm();
  for (const AppState screen : {AppState::Menu, AppState::Options, AppState::Help, AppState::About, AppState::HighScores,
                                AppState::NameEntry, AppState::GameFailed, AppState::Cover}) {
    reach(screen);
    EXPECT_FALSE(saved(inProgress)) << app::appStateName(screen);
  }
  for (const AppState target : {AppState::LevelIntro, AppState::Playing, AppState::Menu}) {
    reach(AppState::LevelIntro);
    EXPECT_TRUE(saved(inProgress));
    app().startTransition(AppState::LevelIntro, target);
    EXPECT_EQ(saved(inProgress), target != AppState::Menu) << app::appStateName(target);
  }
  finishTransition();
  reach(AppState::Playing);
  while (game().levelNumber() <= 3) game().passLevel();
  app().update(10);
  finishTransition();
  ASSERT_EQ(app().state(), AppState::GameWon);
  app().saveOnExit();
  std::array<std::int32_t, 3> values{};
  ASSERT_TRUE(readSavedGame(values));
  EXPECT_EQ(values, (std::array<std::int32_t, 3>{1, 3, 0}));
}

// What the full-screen pictures draw: the cover from construction, the pause picture, and the
// wipe's last step.
TEST_F(FlowTest, DrawsTheCoverThePausePictureAndTheWipe) {
  const auto flat = [&](const char* name, testing_support::Rgb c) {
    testing_support::writeRgbPng(data_.file(std::string("image/") + name), 240, 320, [c](int, int) { return c; });
    return gfx::packRgb(c.red, c.green, c.blue);
  };
  const std::uint16_t cover = flat("cover.png", {200, 40, 40}), pause = flat("pause.png", {40, 200, 40});
  const std::uint16_t won = flat("win.png", {40, 40, 200}), about = flat("about.png", {120, 120, 40});
  app_ = std::make_unique<app::GameApp>();
  app_->createScreens();
  EXPECT_EQ(app().backBuffer().at(120, 160), cover);
  app().update(10);
  app().draw();
  EXPECT_EQ(app().backBuffer().at(120, 160), cover);  // the wipe has only begun
  finishTransition();
  app().startTransition(AppState::About, AppState::GameWon);
  for (int i = 0; i < 55; ++i) app().update(10);
  app().draw();
  EXPECT_EQ(app().backBuffer().at(120, 160), won);
  EXPECT_EQ(app().backBuffer().at(239, 319), gfx::mixPixels(about, won, 4));
  reach(AppState::Playing);
  app().togglePause();
  app().draw();
  EXPECT_EQ(app().backBuffer().at(120, 160), pause);
  // Without their pictures the level and game-failed screens show only their big number.
  gfx::Surface digits;
  gfx::loadPictureResource(digits, 143);
  game().passLevel();
  setScore(1234);
  for (const auto& [screen, value] : {std::pair{AppState::LevelIntro, game().levelNumber()}, {AppState::GameFailed, 1234}}) {
    reach(screen);
    gfx::Canvas expected;
    std::fill_n(expected.pixelBlock(), gfx::Canvas::kBlockPixels, 0x0841);
    std::fill_n(app().backBuffer().pixelBlock(), gfx::Canvas::kBlockPixels, 0x0841);
    app::drawBigNumber(expected, digits, value);
    app().draw();
    EXPECT_TRUE(std::equal(expected.pixelBlock(), expected.pixelBlock() + gfx::Canvas::kBlockPixels,
                           app().backBuffer().pixelBlock())) << app::appStateName(screen);
  }
}

}  // namespace
}  // namespace app_test
