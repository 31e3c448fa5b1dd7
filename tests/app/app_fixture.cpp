#include "tests/app/app_fixture.hpp"

#include <filesystem>
#include <fstream>

#include "platform/files.hpp"
#include "platform/message_box.hpp"
#include "tests/app/test_files.hpp"

namespace app_test {

using app::AppState;

void AppFixture::SetUp() {
  app::resetProcessState();
  platform::setDataFolder(data_.path());
  platform::setSaveFolder(save_.path());
  platform::setMessageBoxHandler(
      [this](std::string_view text, std::string_view) { messageBoxes_.emplace_back(text); });
  std::filesystem::create_directories(data_.file("image"));
  writeLevelMap(data_.file("BrickMap.dat"));
  writeWav(data_.file("music.wav"), 500);
  writeWav(data_.file("menu_select.wav"), 100);
  prepareData();
  app::ProcessState& p = app::process();
  p.soundOn = 1;
  p.musicOn = 0;
  p.scoreDisplay = std::make_unique<app::NumberDisplay>(115);
  p.scoreDisplay->setValue(0);
  app_ = std::make_unique<app::GameApp>();
  app_->createScreens();
  // The score file has had its say; each test starts from both options on.
  p.soundOn = 1;
  p.musicOn = 1;
}

void AppFixture::TearDown() {
  app_.reset();
  app::resetProcessState();
  platform::setMessageBoxHandler({});
}

void AppFixture::finishTransition() {
  ASSERT_EQ(app_->state(), AppState::Transition);
  for (int i = 0; i < app::ScreenTransition::kSteps && app_->state() == AppState::Transition; ++i) app_->update(10);
  ASSERT_NE(app_->state(), AppState::Transition);
}

void AppFixture::expectTransitionTo(AppState target) {
  EXPECT_EQ(app_->state(), AppState::Transition);
  EXPECT_EQ(app_->transitionTarget(), target);
}

void AppFixture::toMenu() {
  app_->update(10);
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::About);
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::Menu);
}

void AppFixture::selectMenuItem(std::int32_t item) {
  for (int i = 0; i < app::MainMenu::kItems && app_->menuSelection() != item; ++i) app_->onDown();
  ASSERT_EQ(app_->menuSelection(), item);
}

void AppFixture::toLevelIntro() {
  toMenu();
  selectMenuItem(0);
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::LevelIntro);
}

void AppFixture::toPlaying() {
  toLevelIntro();
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::Playing);
}

void AppFixture::toOptions() {
  toMenu();
  selectMenuItem(2);
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::Options);
}

void AppFixture::toHelp() {
  toMenu();
  selectMenuItem(4);
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::Help);
}

void AppFixture::toHighScores() {
  toMenu();
  selectMenuItem(3);
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::HighScores);
}

void AppFixture::reach(AppState state) {
  app_->startTransition(AppState::Menu, state);
  finishTransition();
  ASSERT_EQ(app_->state(), state);
}

bool AppFixture::readSavedGame(std::array<std::int32_t, 3>& values) const {
  std::ifstream in(save_.file("AutoSave.dat"), std::ios::binary);
  if (!in) return false;
  std::array<std::uint8_t, 12> bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
  if (in.gcount() != 12) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(bytes[4 * i + k]) << (8 * k);
    values[i] = static_cast<std::int32_t>(v);
  }
  return true;
}

}  // namespace app_test
