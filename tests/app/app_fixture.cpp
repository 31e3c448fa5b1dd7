#include "tests/app/app_fixture.hpp"

#include <filesystem>

#include "platform/files.hpp"
#include "platform/message_box.hpp"
#include "tests/support/test_files.hpp"

namespace app_test {

using app::AppState;

void ShellFixture::SetUp() {
  shell::resetProcessState();
  platform::setDataFolder(data_.path());
  platform::setSaveFolder(save_.path());
  platform::setMessageBoxHandler([](std::string_view, std::string_view) {});
  std::filesystem::create_directories(data_.file("image"));
  std::vector<std::uint8_t> levels;
  for (int cell = 0; cell < 50 * 16 * 12; ++cell) levels.insert(levels.end(), {10, 0, 0, 0});
  testing_support::writeBytes(data_.file("BrickMap.dat"), levels);
  testing_support::writeWav(data_.file("music.wav"), 500);
  testing_support::writeWav(data_.file("menu_select.wav"), 100);
}

void ShellFixture::TearDown() {
  shell::resetProcessState();
  platform::setMessageBoxHandler({});
}

void ShellFixture::setPen(int x, int y) {
  shell::process().penX = toFixed(x);
  shell::process().penY = toFixed(y);
}

bool ShellFixture::readSavedGame(std::array<std::int32_t, 3>& values) const {
  const std::vector<std::uint8_t> bytes = testing_support::readBytes(save_.file("AutoSave.dat"));
  if (bytes.size() != 12) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    values[i] = static_cast<std::int32_t>(bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
                                          static_cast<std::uint32_t>(bytes[4 * i + 3]) << 24);
  }
  return true;
}

void AppFixture::SetUp() {
  ShellFixture::SetUp();
  shell::process().scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
  shell::process().scoreDisplay->setValue(0);
  app_ = std::make_unique<app::GameApp>();
  app_->createScreens();
  // The score file has had its say; each test starts from both options on.
  shell::process().soundOn = 1;
  shell::process().musicOn = 1;
}

void AppFixture::TearDown() {
  app_.reset();
  ShellFixture::TearDown();
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

void AppFixture::selectMenuItem(std::int32_t item) {
  for (int i = 0; i < app::MainMenu::kItems && app_->menuSelection() != item; ++i) app_->onDown();
  ASSERT_EQ(app_->menuSelection(), item);
}

void AppFixture::toPlaying() {
  reach(AppState::Menu);
  selectMenuItem(0);
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::LevelIntro);
  app_->onEnter();
  finishTransition();
  ASSERT_EQ(app_->state(), AppState::Playing);
}

void AppFixture::reach(AppState state) {
  app_->startTransition(AppState::Menu, state);
  finishTransition();
  ASSERT_EQ(app_->state(), state);
}

}  // namespace app_test
