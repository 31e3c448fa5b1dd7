// The program's frame: start-up, the window procedure's message table and key routing with
// the desktop keys, the pen position, activity and focus, the main loop's pass and shutdown.
#include "app/program.hpp"

#include "app/command_line.hpp"
#include "app/desktop_keys.hpp"
#include "gfx/pixel.hpp"
#include "platform/clock.hpp"
#include "platform/headless/headless_display.hpp"
#include "tests/app/app_fixture.hpp"
#include "tests/support/test_files.hpp"

namespace app_test {
namespace {

using app::AppState;
using shell::process;

class ProgramTest : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    testing_support::writeRgbPng(data_.file("image/cover.png"), 240, 320, [](int, int) { return testing_support::Rgb{200, 40, 40}; });
    platform::useManualClock(1000);
    program_ = std::make_unique<app::Program>();
    ASSERT_TRUE(program_->startUp());
    process().musicOn = 1;
  }
  void TearDown() override {
    program_.reset();
    platform::useSystemClock();
    ShellFixture::TearDown();
  }

  app::GameApp& app() { return *program_->app(); }
  void send(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam = 0) {
    EXPECT_EQ(program_->windowProcedure(message, wParam, lParam), 0);
  }
  void key(std::uint32_t code) { send(win::WM_KEYDOWN, code); }
  void finish() {
    for (int i = 0; i < 56 && app().state() == AppState::Transition; ++i) app().update(10);
  }
  void go(AppState state) {
    app().startTransition(AppState::Menu, state);
    finish();
  }

  std::unique_ptr<app::Program> program_;
};

TEST_F(ProgramTest, StartUpShowsTheCoverWhileTheScreensLoadAndShutDownSavesTheGame) {
  EXPECT_EQ(platform::headlessDisplay().frame()[0], gfx::packRgb(200, 40, 40));
  EXPECT_EQ(app().state(), AppState::Cover);
  EXPECT_TRUE(process().running && process().active && process().soundOn == 1 && !process().muted);
  key(win::VK_RETURN);  // the keys reach the screens
  EXPECT_EQ(app().transitionTarget(), AppState::About);
  go(AppState::Menu);
  key(win::VK_UP);
  EXPECT_EQ(app().menuSelection(), 4);
  key(win::VK_DOWN);
  key(win::VK_DOWN);
  EXPECT_EQ(app().menuSelection(), 1);
  key(win::VK_APP4);  // continue: a new game, as no game was saved
  finish();
  key(win::VK_RETURN);
  finish();
  ASSERT_EQ(app().state(), AppState::Playing);
  key(win::VK_LEFT);
  EXPECT_EQ(game::GameRig(*app().game()).paddle().moveState(), game::MoveState::Left);
  send(win::WM_KEYUP, win::VK_RIGHT);
  EXPECT_EQ(game::GameRig(*app().game()).paddle().moveState(), game::MoveState::Stopped);
  key(win::VK_APP3);
  EXPECT_TRUE(process().muted && app().gameRunning());
  key('8');
  key(win::VK_APP1);
  EXPECT_FALSE(process().running);
  program_->shutDown();
  std::array<std::int32_t, 3> saved{};
  ASSERT_TRUE(readSavedGame(saved));
  EXPECT_EQ(saved[1], 13);
}

TEST_F(ProgramTest, NumberKeysActOnTheGameOnEveryScreenEvenDuringTheWipe) {
  for (std::uint32_t k = '1'; k <= '6'; ++k) key(k);  // no level set up yet: nothing to act on
  key('7');
  EXPECT_EQ(app().game()->levelNumber(), 2);
  app().update(10);
  ASSERT_EQ(app().state(), AppState::Transition);
  key('7');
  EXPECT_EQ(app().game()->levelNumber(), 3);
  go(AppState::Playing);
  key('5');
  EXPECT_EQ(game::GameRig(*app().game()).paddle().attachment(), game::Attachment::StickyPads);
}

TEST_F(ProgramTest, UnknownKeysAndMessagesDoNothing) {
  go(AppState::Menu);
  for (const std::uint32_t k : {win::VK_APP2, 0x00u, 0x09u, 0x70u, 0xFFu, 0x5Au, 0x30u, 0x39u, win::VK_ESCAPE, win::VK_BACK}) {
    key(k);
    EXPECT_TRUE(app().state() == AppState::Menu && app().menuSelection() == 0 && process().running) << k;
    EXPECT_EQ(app().game()->levelNumber(), 1) << k;
  }
  send(0x0102, 'A');  // a character message
  send(0x0204, 0, win::packPenPosition(10, 10));  // the right button
  EXPECT_EQ(app().state(), AppState::Menu);
  EXPECT_FALSE(process().penDown);
}

TEST_F(ProgramTest, PenPositionIsUnpackedAndHeldInsideTheScreen) {
  const std::int32_t cases[][3] = {
      {win::packPenPosition(0, 0), 0, 0},         {win::packPenPosition(239, 319), 239, 319},
      {win::packPenPosition(240, 320), 239, 319}, {win::packPenPosition(5, 0xFFFF), 5, 319},
      {win::packPenPosition(0xFFFF, 7), 239, 7},  {-1, 239, 319},
  };
  go(AppState::Options);  // a screen where the pen does nothing but be recorded
  for (const auto& [lParam, x, y] : cases) {
    send(win::WM_MOUSEMOVE, 0, lParam);
    EXPECT_EQ(std::make_pair(process().penX, process().penY), std::make_pair(toFixed(x), toFixed(y))) << std::hex << lParam;
  }
  send(win::WM_LBUTTONDOWN, 1, win::packPenPosition(3, 4));
  EXPECT_TRUE(process().penDown);
  send(win::WM_MOUSEMOVE, 1, win::packPenPosition(30, 40));
  EXPECT_TRUE(process().penDown);
  send(win::WM_LBUTTONUP, 0, win::packPenPosition(31, 41));
  EXPECT_FALSE(process().penDown);
  EXPECT_EQ(std::make_pair(process().penX, process().penY), std::make_pair(toFixed(31), toFixed(41)));
  go(AppState::About);
  send(win::WM_LBUTTONDOWN, 1, win::packPenPosition(120, 160));  // a tap acts at pen down
  EXPECT_EQ(app().transitionTarget(), AppState::Menu);
}

TEST_F(ProgramTest, DeactivationTogglesThePauseOfAGameInPlayAndFocusSuspendsTheDisplay) {
  go(AppState::Playing);
  const sound::SoundClip& music = *app().musicClip();
  app().music()->play();
  send(win::WM_ACTIVATE, win::WA_INACTIVE);
  EXPECT_TRUE(!process().active && !app().gameRunning() && process().muted && music.paused());
  send(win::WM_ACTIVATE, win::WA_CLICKACTIVE);
  EXPECT_FALSE(process().active);
  send(win::WM_ACTIVATE, win::WA_ACTIVE);
  EXPECT_TRUE(process().active && !app().gameRunning());
  send(win::WM_ACTIVATE, 0x00010000u | win::WA_INACTIVE);  // only the low word counts
  EXPECT_TRUE(!process().active && app().gameRunning() && !process().muted && !music.paused());
  go(AppState::Menu);  // away from the game, a deactivation pauses and mutes nothing
  send(win::WM_ACTIVATE, win::WA_INACTIVE);
  send(win::WM_ACTIVATE, win::WA_ACTIVE);
  EXPECT_TRUE(process().active && app().gameRunning() && !process().muted);
  send(win::WM_KILLFOCUS, 0);
  EXPECT_TRUE(platform::headlessDisplay().suspended());
  send(win::WM_SETFOCUS, 0);
  EXPECT_FALSE(platform::headlessDisplay().suspended());
}

TEST_F(ProgramTest, APassUpdatesOnlyWhenActiveAndTheTimerIsDue) {
  platform::advanceManualClock(10);
  program_->tick();
  EXPECT_EQ(app().state(), AppState::Cover);
  send(win::WM_ACTIVATE, win::WA_INACTIVE);
  platform::advanceManualClock(100);
  program_->tick();
  EXPECT_EQ(app().state(), AppState::Cover);
  send(win::WM_ACTIVATE, win::WA_ACTIVE);
  program_->tick();
  EXPECT_EQ(app().state(), AppState::Transition);
}

TEST_F(ProgramTest, OnTheNameEntryTheKeyboardTypesAndTypedKeysGoNoFurther) {
  go(AppState::NameEntry);
  for (const std::uint32_t k : {0x50u, 0x4Du, 0x37u, 0x38u, win::VK_SPACE, win::VK_BACK, win::VK_LEFT, win::VK_SELECT}) {
    key(k);
    EXPECT_EQ(app().state(), AppState::NameEntry) << k;
  }
  EXPECT_EQ(app().game()->levelNumber(), 1);  // the typed 7 passed no level
  EXPECT_TRUE(app().gameRunning());           // the typed P paused nothing
  EXPECT_EQ(app().nameEntry()->nameText(), u"PM78 ");  // the gamepad's A picks the key under the cursor
  for (const std::uint32_t k : {0x40u, 0x5Bu, 0x2Fu, 0x3Au, 0x61u}) key(k);  // just outside the letters and digits
  EXPECT_EQ(app().nameEntry()->nameText(), u"PM78 ");
  for (const std::uint32_t k : {win::VK_ESCAPE, win::VK_RETURN, win::VK_F4}) {
    go(AppState::NameEntry);
    key(k);
    EXPECT_EQ(app().transitionTarget(), AppState::HighScores) << k;
  }
}

TEST(DesktopKeysTest, TranslationByScreen) {
  const struct {
    std::uint32_t key;
    AppState state;
    std::uint32_t expected;
  } cases[] = {
      {win::VK_SPACE, AppState::Menu, win::VK_RETURN},      {win::VK_SELECT, AppState::NameEntry, win::VK_RETURN},
      {'P', AppState::Playing, win::VK_APP4},               {win::VK_PAUSE, AppState::Menu, win::VK_APP4},
      {win::VK_F4, AppState::HighScores, win::VK_APP4},     {'M', AppState::Playing, win::VK_APP3},
      {win::VK_F3, AppState::NameEntry, win::VK_APP3},      {win::VK_ESCAPE, AppState::Playing, win::VK_APP4},
      {win::VK_ESCAPE, AppState::HighScores, win::VK_APP3}, {win::VK_ESCAPE, AppState::NameEntry, win::VK_APP3},
      {win::VK_ESCAPE, AppState::Menu, 0},                  {win::VK_ESCAPE, AppState::Transition, 0},
      {'7', AppState::Playing, '7'},                        {win::VK_APP1, AppState::Menu, win::VK_APP1},
      {'Q', AppState::Menu, 'Q'},                           {win::VK_LEFT, AppState::Options, win::VK_LEFT},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::translateDesktopKey(c.key, c.state), c.expected) << c.key << " on " << app::appStateName(c.state);
  }
}

// The desktop's options: a bad one is refused with a reason (the program then ends with 2).
TEST(CommandLineTest, AcceptsTheOptionsAndRefusesWhatItDoesNotKnow) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{}, true},
      {{"--scale", "3", "--fullscreen", "--data", "d", "--save-dir", "s", "--score-server", "http://h"}, true},
      {{"--headless", "--script", "f"}, true},     {{"--record", "f"}, true},
      {{"--scale", "0"}, false},                   {{"--scale", "17"}, false},  {{"--scale", "2x"}, false},
      {{"--scale"}, false},                        {{"--data", ""}, false},     {{"--bogus"}, false},
      {{"--headless"}, false},                     {{"--script", "f"}, false},  {{"--headless", "--script", "f", "--record", "r"}, false},
  };
  for (const auto& [arguments, accepted] : cases) {
    app::Options options;
    std::string error;
    EXPECT_EQ(app::parseCommandLine(arguments, options, error), accepted) << (arguments.empty() ? "" : arguments[0]);
    EXPECT_EQ(error.empty(), accepted) << error;
  }
  app::Options options;
  std::string error;
  ASSERT_TRUE(app::parseCommandLine({"--scale", "16", "--data", "d"}, options, error));
  EXPECT_TRUE(options.scale == 16 && options.dataFolder == "d");
}

}  // namespace
}  // namespace app_test
