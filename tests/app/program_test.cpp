// The window procedure: its message table, the key routing with the desktop keys, the pen
// position, activity and focus, and the main loop's pass.
#include "app/program.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/desktop_keys.hpp"
#include "app/process_state.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/headless/headless_display.hpp"
#include "platform/message_box.hpp"
#include "tests/app/test_files.hpp"
#include "tests/support/scratch_folder.hpp"

namespace app_test {
namespace {

using app::AppState;
using app::process;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::resetProcessState();
    platform::setDataFolder(data_.path());
    platform::setSaveFolder(save_.path());
    platform::setMessageBoxHandler([](std::string_view, std::string_view) {});
    writeLevelMap(data_.file("BrickMap.dat"));
    writeWav(data_.file("music.wav"), 500);
    platform::useManualClock(1000);
    program_ = std::make_unique<app::Program>();
    ASSERT_TRUE(program_->startUp());
    process().musicOn = 1;
    process().soundOn = 1;
  }
  void TearDown() override {
    program_.reset();
    app::resetProcessState();
    platform::useSystemClock();
    platform::setMessageBoxHandler({});
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
    ASSERT_EQ(app().state(), state);
  }
  void toPlaying() {
    go(AppState::Menu);
    key(win::VK_RETURN);  // new game
    finish();
    key(win::VK_RETURN);  // start the level
    finish();
    ASSERT_EQ(app().state(), AppState::Playing);
  }
  std::int32_t savedLives() {
    std::ifstream in(save_.file("AutoSave.dat"), std::ios::binary);
    unsigned char bytes[12] = {};
    in.read(reinterpret_cast<char*>(bytes), 12);
    return bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24;
  }

  testing_support::ScratchFolder data_;
  testing_support::ScratchFolder save_;
  std::unique_ptr<app::Program> program_;
};

TEST_F(ProgramTest, ArrowsEnterAndApplicationKeysReachTheScreens) {
  key(win::VK_RETURN);
  EXPECT_EQ(app().transitionTarget(), AppState::About);
  finish();
  key(win::VK_APP4);
  EXPECT_EQ(app().transitionTarget(), AppState::Menu);
  finish();
  key(win::VK_UP);
  EXPECT_EQ(app().menuSelection(), 4);
  key(win::VK_DOWN);
  key(win::VK_DOWN);
  EXPECT_EQ(app().menuSelection(), 1);
  toPlaying();
  key(win::VK_APP3);
  EXPECT_TRUE(process().muted);
  EXPECT_TRUE(app().gameRunning());
  key(win::VK_APP3);
  key(win::VK_APP4);
  EXPECT_FALSE(app().gameRunning());
  EXPECT_TRUE(process().muted);
  key(win::VK_LEFT);
  key(win::VK_RIGHT);
  send(win::WM_KEYUP, win::VK_RIGHT);
  EXPECT_EQ(app().state(), AppState::Playing);
}

TEST_F(ProgramTest, NumberKeysActOnTheGameOnEveryScreenEvenDuringTheWipe) {
  for (std::uint32_t k = '1'; k <= '6'; ++k) key(k);  // no level set up yet: nothing to act on
  key('7');
  EXPECT_EQ(app().game()->levelNumber(), 2);
  app().update(10);
  ASSERT_EQ(app().state(), AppState::Transition);
  key('7');
  EXPECT_EQ(app().game()->levelNumber(), 3);
}

TEST_F(ProgramTest, EightAddsTenLivesThatTheSavedGameKeeps) {
  toPlaying();
  key('8');
  key(win::VK_APP1);
  EXPECT_FALSE(process().running);
  program_->shutDown();
  EXPECT_EQ(savedLives(), 13);
}

TEST_F(ProgramTest, UnknownKeysDoNothing) {
  go(AppState::Menu);
  for (const std::uint32_t k : {win::VK_APP2, 0x00u, 0x09u, 0x70u, 0xFFu, std::uint32_t{'Z'}, std::uint32_t{'0'},
                                std::uint32_t{'9'}, win::VK_ESCAPE, win::VK_BACK}) {
    key(k);
    EXPECT_EQ(app().state(), AppState::Menu) << k;
    EXPECT_EQ(app().menuSelection(), 0) << k;
    EXPECT_EQ(app().game()->levelNumber(), 1) << k;
    EXPECT_TRUE(process().running) << k;
  }
}

TEST_F(ProgramTest, MessagesOutsideTheTableAreLeftAlone) {
  send(0x0102, 'A');  // a character message
  send(0x0000, 0);
  send(0x0204, 0, win::packPenPosition(10, 10));  // right button
  EXPECT_EQ(app().state(), AppState::Cover);
  EXPECT_FALSE(process().penDown);
}

TEST_F(ProgramTest, PenPositionIsUnpackedAndHeldInsideTheScreen) {
  struct Case {
    std::int32_t lParam;
    int x, y;
  };
  const Case cases[] = {
      {win::packPenPosition(0, 0), 0, 0},           {win::packPenPosition(239, 319), 239, 319},
      {win::packPenPosition(240, 320), 239, 319},   {win::packPenPosition(5, 0xFFFF), 5, 319},
      {win::packPenPosition(0xFFFF, 7), 239, 7},    {static_cast<std::int32_t>(0xFFFFFFFFu), 239, 319},
      {win::packPenPosition(100, 200), 100, 200},
  };
  go(AppState::Options);  // a screen where the pen does nothing but be recorded
  for (const Case& c : cases) {
    send(win::WM_MOUSEMOVE, 0, c.lParam);
    EXPECT_EQ(process().penX, toFixed(c.x)) << std::hex << c.lParam;
    EXPECT_EQ(process().penY, toFixed(c.y)) << std::hex << c.lParam;
  }
  send(win::WM_LBUTTONDOWN, 1, win::packPenPosition(3, 4));
  EXPECT_TRUE(process().penDown);
  send(win::WM_MOUSEMOVE, 1, win::packPenPosition(30, 40));
  EXPECT_TRUE(process().penDown);
  send(win::WM_LBUTTONUP, 0, win::packPenPosition(31, 41));
  EXPECT_FALSE(process().penDown);
  EXPECT_EQ(process().penX, toFixed(31));
  EXPECT_EQ(process().penY, toFixed(41));
}

TEST_F(ProgramTest, AStylusTapOnThePictureActsAtPenDown) {
  send(win::WM_LBUTTONDOWN, 1, win::packPenPosition(120, 160));
  EXPECT_EQ(app().transitionTarget(), AppState::About);
  send(win::WM_LBUTTONUP, 0, win::packPenPosition(120, 160));
  EXPECT_EQ(app().transitionStep(), 0);
  EXPECT_EQ(app().transitionTarget(), AppState::About);
}

TEST_F(ProgramTest, DeactivationTogglesThePauseAndTheMusic) {
  toPlaying();
  const sound::SoundClip& music = *app().musicClip();
  ASSERT_FALSE(music.paused());
  send(win::WM_ACTIVATE, win::WA_INACTIVE);
  EXPECT_FALSE(process().active);
  EXPECT_FALSE(app().gameRunning());
  EXPECT_TRUE(process().muted);
  EXPECT_TRUE(music.paused());
  send(win::WM_ACTIVATE, win::WA_CLICKACTIVE);
  EXPECT_FALSE(process().active);
  EXPECT_FALSE(app().gameRunning());
  send(win::WM_ACTIVATE, win::WA_ACTIVE);
  EXPECT_TRUE(process().active);
  EXPECT_FALSE(app().gameRunning());
  // Only the low word counts: the high word carries the minimised flag.
  send(win::WM_ACTIVATE, 0x00010000u | win::WA_INACTIVE);
  EXPECT_FALSE(process().active);
  EXPECT_TRUE(app().gameRunning());
  EXPECT_FALSE(process().muted);
  EXPECT_FALSE(music.paused());
  EXPECT_EQ(music.plays(), 1);
}

TEST_F(ProgramTest, FocusSuspendsAndResumesTheDisplayApartFromActivity) {
  send(win::WM_KILLFOCUS, 0);
  EXPECT_TRUE(platform::headlessDisplay().suspended());
  EXPECT_TRUE(process().active);
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
  for (const std::uint32_t k : {std::uint32_t{'P'}, std::uint32_t{'M'}, std::uint32_t{'7'}, std::uint32_t{'8'},
                                win::VK_SPACE, win::VK_BACK, app::kGamepadSelect, win::VK_LEFT}) {
    key(k);
    EXPECT_EQ(app().state(), AppState::NameEntry) << k;
  }
  EXPECT_EQ(app().game()->levelNumber(), 1);  // the typed 7 passed no level
  EXPECT_TRUE(app().gameRunning());             // the typed P paused nothing
  key(win::VK_ESCAPE);
  EXPECT_EQ(app().transitionTarget(), AppState::HighScores);
  go(AppState::NameEntry);
  key(win::VK_RETURN);
  EXPECT_EQ(app().transitionTarget(), AppState::HighScores);
  go(AppState::NameEntry);
  key(win::VK_F4);
  EXPECT_EQ(app().transitionTarget(), AppState::HighScores);
}

TEST(DesktopKeysTest, TranslationByScreen) {
  struct Case {
    std::uint32_t key;
    AppState state;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {win::VK_SPACE, AppState::Menu, win::VK_RETURN},       {app::kGamepadSelect, AppState::NameEntry, win::VK_RETURN},
      {'P', AppState::Playing, win::VK_APP4},                {win::VK_PAUSE, AppState::Menu, win::VK_APP4},
      {win::VK_F4, AppState::HighScores, win::VK_APP4},      {'M', AppState::Playing, win::VK_APP3},
      {win::VK_F3, AppState::NameEntry, win::VK_APP3},       {win::VK_ESCAPE, AppState::Playing, win::VK_APP4},
      {win::VK_ESCAPE, AppState::HighScores, win::VK_APP3},  {win::VK_ESCAPE, AppState::NameEntry, win::VK_APP3},
      {win::VK_ESCAPE, AppState::Menu, 0},                   {win::VK_ESCAPE, AppState::Transition, 0},
      {win::VK_ESCAPE, AppState::LevelIntro, 0},             {win::VK_RETURN, AppState::NameEntry, win::VK_RETURN},
      {'7', AppState::Playing, '7'},                         {win::VK_APP1, AppState::Menu, win::VK_APP1},
      {'Q', AppState::Menu, 'Q'},                            {win::VK_LEFT, AppState::Options, win::VK_LEFT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::translateDesktopKey(c.key, c.state), c.expected) << c.key << " on " << app::appStateName(c.state);
  }
}

}  // namespace
}  // namespace app_test
