// The music through a whole run, and what is saved when the program closes on each screen.
#include "tests/app/app_fixture.hpp"

namespace app_test {
namespace {

using app::AppState;
using app::process;

class MusicTest : public AppFixture {
 protected:
  const sound::SoundClip& music() { return *app().musicClip(); }
};

TEST_F(MusicTest, FollowsNewGameLevelPauseMuteAndGameEnd) {
  ASSERT_FALSE(music().empty());
  toMenu();
  EXPECT_EQ(music().plays(), 0);  // the music never starts on its own
  selectMenuItem(0);
  app().onEnter();
  EXPECT_EQ(music().plays(), 1);
  EXPECT_TRUE(music().paused());  // queued and held near its start
  finishTransition();
  app().onEnter();
  EXPECT_FALSE(music().paused());
  finishTransition();
  app().onAppButton4();
  EXPECT_TRUE(music().paused());
  app().onAppButton4();
  EXPECT_FALSE(music().paused());
  app().onAppButton3();
  EXPECT_TRUE(music().paused());
  app().onAppButton3();
  EXPECT_FALSE(music().paused());
  for (int i = 0; i < 3; ++i) game().passLevel();
  app().update(10);
  EXPECT_TRUE(music().paused());
  finishTransition();
  // The looping clip is still queued: a second new game's play is refused, the pause acts.
  app().startTransition(AppState::GameWon, AppState::Menu);
  finishTransition();
  app().onEnter();
  EXPECT_EQ(music().plays(), 1);
  EXPECT_TRUE(music().paused());
  EXPECT_EQ(app().music(), app().musicClip());
}

TEST_F(MusicTest, StaysSilentWithTheOptionOffOrWhileMuted) {
  process().musicOn = 0;
  toLevelIntro();
  EXPECT_EQ(music().plays(), 0);
  app().onEnter();
  finishTransition();
  app().onAppButton4();
  app().onAppButton4();
  EXPECT_EQ(music().plays(), 0);
  EXPECT_FALSE(music().paused());

  process().musicOn = 1;
  process().muted = true;
  reach(AppState::Menu);
  selectMenuItem(0);
  app().onEnter();
  EXPECT_EQ(music().plays(), 0);
  finishTransition();
  app().onEnter();
  EXPECT_FALSE(music().paused());
  EXPECT_EQ(music().plays(), 0);
}

TEST_F(MusicTest, GameEndPausesEvenWhileMuted) {
  toPlaying();
  ASSERT_FALSE(music().paused());
  app().onAppButton3();  // mute: paused
  app().onAppButton3();  // unmute: restarted
  process().muted = true;  // muted behind the music's back
  for (int i = 0; i < 3; ++i) game().passLevel();
  app().update(10);
  EXPECT_TRUE(music().paused());
}

TEST_F(MusicTest, TheOptionSwitchDoesNotTouchTheMusic) {
  toPlaying();
  reach(AppState::Options);
  app().onEnter();  // music off
  EXPECT_EQ(process().musicOn, 0);
  EXPECT_FALSE(music().paused());
  app().onEnter();  // and on again
  EXPECT_FALSE(music().paused());
  EXPECT_EQ(music().plays(), 1);
}

// Closing the program on each screen: only a game in progress is saved.
struct SaveCase {
  const char* name;
  void (*reachIt)(AppFixture&);
  bool saves;
};

void PrintTo(const SaveCase& saveCase, std::ostream* os) { *os << saveCase.name; }

class SaveOnExitTest : public AppFixture, public ::testing::WithParamInterface<SaveCase> {};

void fromLevelIntroTo(AppFixture& f, AppState state) {
  f.toLevelIntro();
  f.reach(state);
}

const SaveCase kSaveCases[] = {
    {"Cover", [](AppFixture&) {}, false},
    {"Menu", [](AppFixture& f) { fromLevelIntroTo(f, AppState::Menu); }, false},
    {"Options", [](AppFixture& f) { fromLevelIntroTo(f, AppState::Options); }, false},
    {"Help", [](AppFixture& f) { fromLevelIntroTo(f, AppState::Help); }, false},
    {"About", [](AppFixture& f) { fromLevelIntroTo(f, AppState::About); }, false},
    {"HighScores", [](AppFixture& f) { fromLevelIntroTo(f, AppState::HighScores); }, false},
    {"NameEntry", [](AppFixture& f) { fromLevelIntroTo(f, AppState::NameEntry); }, false},
    {"GameFailed", [](AppFixture& f) { fromLevelIntroTo(f, AppState::GameFailed); }, false},
    {"LevelIntro", [](AppFixture& f) { f.toLevelIntro(); }, true},
    {"Playing", [](AppFixture& f) { f.toPlaying(); }, true},
    {"PlayingPaused",
     [](AppFixture& f) {
       f.toPlaying();
       f.app().onAppButton4();
     },
     true},
    {"WipeToLevelIntro",
     [](AppFixture& f) {
       f.toMenu();
       f.app().onEnter();
     },
     true},
    {"WipeToPlaying",
     [](AppFixture& f) {
       f.toLevelIntro();
       f.app().onEnter();
     },
     true},
    {"WipeToMenu",
     [](AppFixture& f) {
       f.toLevelIntro();
       f.app().startTransition(AppState::LevelIntro, AppState::Menu);
     },
     false},
};

TEST_P(SaveOnExitTest, SavesOnlyAGameInProgress) {
  GetParam().reachIt(*this);
  if (app().game()->levelNumber() == 1) app().game()->passLevel();
  setScore(840);
  app().saveOnExit();
  std::array<std::int32_t, 3> saved{};
  const bool present = readSavedGame(saved);
  if (GetParam().saves) {
    ASSERT_TRUE(present);
    EXPECT_EQ(saved, (std::array<std::int32_t, 3>{2, 3, 840}));
  } else {
    EXPECT_FALSE(present);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, SaveOnExitTest, ::testing::ValuesIn(kSaveCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(MusicTest, ClosingOnTheGameWonPictureKeepsTheResetSavedGame) {
  toPlaying();
  setScore(700);
  for (int i = 0; i < 3; ++i) game().passLevel();
  app().update(10);
  finishTransition();
  ASSERT_EQ(app().state(), AppState::GameWon);
  app().saveOnExit();
  std::array<std::int32_t, 3> saved{};
  ASSERT_TRUE(readSavedGame(saved));
  EXPECT_EQ(saved, (std::array<std::int32_t, 3>{1, 3, 0}));
}

}  // namespace
}  // namespace app_test
