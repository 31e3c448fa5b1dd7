// A game screen on scratch folders with a seeded generator, a silent but counting hit sound,
// and message boxes collected instead of shown; and the small helpers the game tests share.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/game_rig.hpp"
#include "game/game_screen.hpp"
#include "gfx/surface.hpp"
#include "tests/support/scratch_folder.hpp"

namespace game_testing {

// Fixed pixels.
constexpr Fixed px(int pixels) { return pixels * 0x10000; }

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// 38400 bytes of level map: the given cells from level 1, row 0 on, the rest empty.
std::vector<std::uint8_t> levelFile(const std::vector<std::int32_t>& cells = {});
// Pixel (x, y) holds y x width + x + 1, so a drawn pixel tells where in the picture it came
// from (and is never transparent black).
gfx::Surface coordinatePicture(int width, int height);
constexpr std::uint16_t sourcePixel(int width, int x, int y) { return static_cast<std::uint16_t>(y * width + x + 1); }

// Position and velocity of a ball or an item, to compare in one go.
template <typename T>
std::array<Fixed, 4> motion(const T& object) {
  return {object.x(), object.y(), object.vx(), object.vy()};
}

template <typename T>
std::vector<const T*> listed(const game::ObjectList<T>& list) {
  return {list.begin(), list.end()};
}

class GameFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "BrickMap.dat" and "hit.wav", then builds the screen.
  game::GameScreen& makeGame(const std::vector<std::uint8_t>& levelBytes);
  // A new game on an empty level 1, set up, without balls, with one Stone brick at column 11,
  // row 0 that keeps the level from being passed.
  game::GameScreen& emptyField();
  void run(int updates);  // dt = 10
  // The set-up and views of the game made last.
  game::GameRig& rig() { return *rig_; }
  const game::GameRig& rig() const { return *rig_; }
  std::vector<const game::Ball*> balls() const { return listed(rig_->balls()); }
  std::uint32_t score() const;
  // The shared blast sound, silent but counting its plays.
  void loadBlastSound();

  testing_support::ScratchFolder data_;
  testing_support::ScratchFolder save_;
  std::unique_ptr<game::GameScreen> game_;
  std::unique_ptr<game::GameRig> rig_;
  std::vector<std::string> messages_;
};

}  // namespace game_testing
