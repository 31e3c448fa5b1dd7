// The screen flow: every way between the screens, with its side effects where they belong.
#include <functional>

#include "platform/messages.hpp"
#include "tests/app/app_fixture.hpp"

namespace app_test {
namespace {

using app::AppState;
using app::process;

using FlowTest = AppFixture;

TEST_F(FlowTest, FirstUpdateWipesFromTheCoverToTheAboutPictureIn56Updates) {
  ASSERT_EQ(app().state(), AppState::Cover);
  app().update(10);
  expectTransitionTo(AppState::About);
  for (int i = 1; i < 56; ++i) app().update(10);
  EXPECT_EQ(app().state(), AppState::Transition);
  EXPECT_EQ(app().transitionStep(), 55);
  app().update(10);
  EXPECT_EQ(app().state(), AppState::About);
  EXPECT_EQ(app().transitionStep(), 0);
}

// The full-screen pictures go on with Enter, 0xC4 and any stylus action (a tap acts at pen
// down; what follows it arrives in the wipe).
enum class Input { Enter, AppButton4, PenDown, PenMove, PenUp };

void send(app::GameApp& a, Input input) {
  switch (input) {
    case Input::Enter: a.onEnter(); break;
    case Input::AppButton4: a.onAppButton4(); break;
    case Input::PenDown: a.onPenDown(); break;
    case Input::PenMove: a.onPenMove(); break;
    case Input::PenUp: a.onPenUp(); break;
  }
}

struct PictureCase {
  AppState screen;
  AppState next;
};

void PrintTo(const PictureCase& pictureCase, std::ostream* os) {
  *os << app::appStateName(pictureCase.screen) << " to " << app::appStateName(pictureCase.next);
}

void PrintTo(Input input, std::ostream* os) {
  static constexpr const char* kNames[] = {"Enter", "AppButton4", "PenDown", "PenMove", "PenUp"};
  *os << kNames[static_cast<int>(input)];
}

class PictureInputTest : public AppFixture, public ::testing::WithParamInterface<std::tuple<PictureCase, Input>> {};

TEST_P(PictureInputTest, GoesOn) {
  const auto [pictureCase, input] = GetParam();
  if (pictureCase.screen != AppState::Cover) reach(pictureCase.screen);
  setScore(static_cast<std::int32_t>(app().highScores()->lowestScore()));
  send(app(), input);
  expectTransitionTo(pictureCase.next);
}

INSTANTIATE_TEST_SUITE_P(
    AllPictures, PictureInputTest,
    ::testing::Combine(::testing::Values(PictureCase{AppState::Cover, AppState::About},
                                         PictureCase{AppState::About, AppState::Menu},
                                         PictureCase{AppState::Help, AppState::Help},
                                         PictureCase{AppState::LevelIntro, AppState::Playing},
                                         PictureCase{AppState::GameFailed, AppState::Menu},
                                         PictureCase{AppState::GameWon, AppState::Menu}),
                       ::testing::Values(Input::Enter, Input::AppButton4, Input::PenDown, Input::PenMove,
                                         Input::PenUp)));

TEST_F(FlowTest, EveryInputIsIgnoredDuringTheWipe) {
  app().update(10);
  app().update(10);
  const std::vector<std::function<void()>> inputs = {
      [&] { app().onEnter(); },      [&] { app().onLeft(); },       [&] { app().onRight(); },
      [&] { app().onUp(); },         [&] { app().onDown(); },       [&] { app().onAppButton3(); },
      [&] { app().onAppButton4(); }, [&] { app().onKeyRelease(); }, [&] { app().onPenDown(); },
      [&] { app().onPenMove(); },    [&] { app().onPenUp(); },      [&] { app().onTypedKey('A'); }};
  for (const auto& input : inputs) {
    input();
    EXPECT_EQ(app().state(), AppState::Transition);
    EXPECT_EQ(app().transitionTarget(), AppState::About);
    EXPECT_EQ(app().transitionStep(), 1);
  }
}

TEST_F(FlowTest, MenuItemsLeadToTheirScreens) {
  const std::pair<std::int32_t, AppState> items[] = {
      {0, AppState::LevelIntro}, {1, AppState::LevelIntro}, {2, AppState::Options},
      {3, AppState::HighScores}, {4, AppState::Help}};
  for (const auto& [item, screen] : items) {
    SCOPED_TRACE(item);
    app().startTransition(AppState::Cover, AppState::Menu);
    finishTransition();
    selectMenuItem(item);
    app().onEnter();
    expectTransitionTo(screen);
  }
}

TEST_F(FlowTest, MenuItemsAreActivatedByAppButton4AndByPenUpWhereverItIs) {
  toMenu();
  selectMenuItem(2);
  app().onAppButton4();
  expectTransitionTo(AppState::Options);
  reach(AppState::Menu);
  process().penX = toFixed(5);
  process().penY = toFixed(300);
  selectMenuItem(3);
  app().onPenUp();
  expectTransitionTo(AppState::HighScores);
}

TEST_F(FlowTest, ATapBelowTheMenuSelectsARowWithoutAnItem) {
  toMenu();
  process().penX = toFixed(120);
  process().penY = toFixed(300);
  app().onPenDown();
  EXPECT_EQ(app().menuSelection(), 5);
  app().onPenUp();
  app().onEnter();
  EXPECT_EQ(app().state(), AppState::Menu);
  app().onDown();
  EXPECT_EQ(app().menuSelection(), 1);
}

TEST_F(FlowTest, NewGameStartsBeforeTheWipeSoTheLevelPictureShowsLevelOne) {
  toMenu();
  game().passLevel();  // the number key 7 acts on the menu too
  setScore(500);
  selectMenuItem(0);
  app().onEnter();
  expectTransitionTo(AppState::LevelIntro);
  EXPECT_EQ(game().levelNumber(), 1);
  EXPECT_EQ(process().scoreDisplay->value(), 0);
  EXPECT_FALSE(game().isGameEnded());
}

TEST_F(FlowTest, ContinueLoadsTheSavedGameBeforeTheWipe) {
  toPlaying();
  game().passLevel();
  setScore(840);
  app().saveOnExit();
  reach(AppState::Menu);
  setScore(0);
  selectMenuItem(1);
  app().onEnter();
  expectTransitionTo(AppState::LevelIntro);
  EXPECT_EQ(game().levelNumber(), 2);
  EXPECT_EQ(process().scoreDisplay->value(), 840);
}

TEST_F(FlowTest, StartingTheLevelSetsItUpAndRunsTheGame) {
  toPlaying();
  game().passLevel();
  app().update(10);
  expectTransitionTo(AppState::LevelIntro);
  finishTransition();
  EXPECT_TRUE(game().isLevelPassed());
  app().togglePause();  // the window lost its activity on the level picture
  ASSERT_FALSE(app().gameRunning());
  app().onEnter();
  expectTransitionTo(AppState::Playing);
  EXPECT_FALSE(game().isLevelPassed());
  EXPECT_TRUE(app().gameRunning());
}

TEST_F(FlowTest, OptionsRowsToggleOrLeave) {
  toOptions();
  app().onEnter();
  EXPECT_EQ(process().musicOn, 0);
  EXPECT_EQ(app().state(), AppState::Options);
  app().onDown();
  app().onAppButton4();
  EXPECT_EQ(process().soundOn, 0);
  app().onDown();
  app().onEnter();
  expectTransitionTo(AppState::About);
  reach(AppState::Options);
  app().onUp();
  EXPECT_EQ(app().optionsSelection(), 1);
  app().onDown();
  app().onDown();
  EXPECT_EQ(app().optionsSelection(), 3);
  app().onEnter();
  expectTransitionTo(AppState::Menu);
}

TEST_F(FlowTest, OptionsPenUpOnAboutAndBackLeavesTheScreen) {
  toOptions();
  process().penX = toFixed(10);
  process().penY = toFixed(110);
  app().onPenDown();
  app().onPenMove();
  app().onPenUp();
  EXPECT_EQ(app().state(), AppState::Options);
  EXPECT_EQ(process().musicOn, 0);
  process().penY = toFixed(210);
  app().onPenUp();
  expectTransitionTo(AppState::About);
  reach(AppState::Options);
  process().penX = toFixed(100);
  process().penY = toFixed(270);
  app().onPenUp();
  expectTransitionTo(AppState::Menu);
}

TEST_F(FlowTest, HelpPagesTurnWithAWipeAndTheLastLeadsBackToTheMenu) {
  toHelp();
  for (std::int32_t page = 1; page <= 3; ++page) {
    app().onEnter();
    // The page turns at once, so the wipe's second snapshot shows the new page.
    EXPECT_EQ(app().helpPage(), page);
    expectTransitionTo(AppState::Help);
    finishTransition();
  }
  app().onEnter();
  expectTransitionTo(AppState::Menu);
  EXPECT_EQ(app().helpPage(), 0);
  finishTransition();
  selectMenuItem(4);
  app().onEnter();
  finishTransition();
  EXPECT_EQ(app().helpPage(), 0);
}

TEST_F(FlowTest, HighScoresGoBackWithEnterOrAppButton3AndIgnoreTheStylusElsewhere) {
  toHighScores();
  process().penX = toFixed(120);
  process().penY = toFixed(100);
  app().onPenDown();
  app().onPenMove();
  app().onPenUp();
  app().onKeyRelease();
  EXPECT_EQ(app().state(), AppState::HighScores);
  app().onAppButton3();
  expectTransitionTo(AppState::Menu);
  reach(AppState::HighScores);
  app().onEnter();
  expectTransitionTo(AppState::Menu);
}

TEST_F(FlowTest, NameEntryAcceptsWithAppButton4AndCancelsWithAppButton3) {
  reach(AppState::NameEntry);
  app().onEnter();  // picks a key
  app().onLeft();
  app().onRight();
  app().onUp();
  app().onDown();
  process().penX = toFixed(120);
  process().penY = toFixed(60);  // neither keyboard, OK nor cancel
  app().onPenDown();
  app().onPenUp();
  EXPECT_EQ(app().state(), AppState::NameEntry);
  app().onAppButton4();
  expectTransitionTo(AppState::HighScores);
  reach(AppState::NameEntry);
  app().onAppButton3();
  expectTransitionTo(AppState::HighScores);
}

TEST_F(FlowTest, PassingALevelShowsTheLevelPictureOfTheNextLevel) {
  toPlaying();
  game().passLevel();
  app().update(10);
  expectTransitionTo(AppState::LevelIntro);
  EXPECT_EQ(game().levelNumber(), 2);
}

TEST_F(FlowTest, PassingTheThirdLevelWinsAndResetsTheSavedGame) {
  toPlaying();
  setScore(900);
  app().saveOnExit();
  for (int i = 0; i < 3; ++i) game().passLevel();
  app().update(10);
  expectTransitionTo(AppState::GameWon);
  std::array<std::int32_t, 3> saved{};
  ASSERT_TRUE(readSavedGame(saved));
  EXPECT_EQ(saved, (std::array<std::int32_t, 3>{1, 3, 0}));
}

TEST(GameOverStateTest, OnlyAGameBeyondTheLastLevelIsWon) {
  EXPECT_EQ(app::gameOverState(1), AppState::GameFailed);
  EXPECT_EQ(app::gameOverState(2), AppState::GameFailed);
  EXPECT_EQ(app::gameOverState(3), AppState::GameFailed);  // the last life lost on level 3
  EXPECT_EQ(app::gameOverState(4), AppState::GameWon);
  EXPECT_EQ(app::gameOverState(0), AppState::GameFailed);
  EXPECT_EQ(app::gameOverState(51), AppState::GameWon);
}

// From either game-over picture a score above the table's lowest leads to the name entry.
class GameOverTest : public AppFixture, public ::testing::WithParamInterface<AppState> {};

TEST_P(GameOverTest, ScoreAboveTheLowestEntryLeadsToTheNameEntry) {
  const auto lowest = static_cast<std::int32_t>(app().highScores()->lowestScore());
  reach(GetParam());
  setScore(lowest + 1);
  app().onEnter();
  expectTransitionTo(AppState::NameEntry);
  reach(GetParam());
  process().penX = toFixed(10);
  process().penY = toFixed(10);
  app().onPenDown();
  expectTransitionTo(AppState::NameEntry);
}

TEST_P(GameOverTest, ScoreEqualToTheLowestEntryLeadsToTheMenu) {
  const auto lowest = static_cast<std::int32_t>(app().highScores()->lowestScore());
  reach(GetParam());
  setScore(lowest);
  app().onAppButton4();
  expectTransitionTo(AppState::Menu);
}

INSTANTIATE_TEST_SUITE_P(BothPictures, GameOverTest, ::testing::Values(AppState::GameFailed, AppState::GameWon),
                         [](const auto& paramInfo) { return std::string(app::appStateName(paramInfo.param)); });

TEST_F(FlowTest, WonGameReachesTheNameEntryByTheWholeRoad) {
  toPlaying();
  setScore(static_cast<std::int32_t>(app().highScores()->lowestScore()) + 1000);
  for (int i = 0; i < 3; ++i) game().passLevel();
  app().update(10);
  finishTransition();
  ASSERT_EQ(app().state(), AppState::GameWon);
  app().onEnter();
  expectTransitionTo(AppState::NameEntry);
}

TEST_F(FlowTest, PauseStopsTheGameAndAppButton4TogglesItWithTheMute) {
  toPlaying();
  app().onAppButton4();
  EXPECT_FALSE(app().gameRunning());
  EXPECT_TRUE(process().muted);
  game().passLevel();
  for (int i = 0; i < 5; ++i) app().update(10);
  EXPECT_EQ(app().state(), AppState::Playing);  // no game step while paused
  app().onAppButton4();
  EXPECT_TRUE(app().gameRunning());
  EXPECT_FALSE(process().muted);
  app().update(10);
  expectTransitionTo(AppState::LevelIntro);
}

TEST_F(FlowTest, TypedKeysAreTakenOnlyOnTheNameEntry) {
  toMenu();
  EXPECT_FALSE(app().onTypedKey('A'));
  reach(AppState::NameEntry);
  for (const std::uint32_t key : {std::uint32_t{'A'}, std::uint32_t{'Z'}, std::uint32_t{'0'}, std::uint32_t{'9'},
                                  win::VK_SPACE, win::VK_BACK}) {
    EXPECT_TRUE(app().onTypedKey(key)) << key;
    EXPECT_EQ(app().state(), AppState::NameEntry);
  }
  for (const std::uint32_t key : {std::uint32_t{'a'}, std::uint32_t{'@'}, std::uint32_t{'['}, std::uint32_t{'/'},
                                  std::uint32_t{':'}, win::VK_LEFT, win::VK_ESCAPE, win::VK_APP4, win::VK_F4}) {
    EXPECT_FALSE(app().onTypedKey(key)) << key;
  }
  EXPECT_TRUE(app().onTypedKey(win::VK_RETURN));
  expectTransitionTo(AppState::HighScores);
}

}  // namespace
}  // namespace app_test
