// A game screen on scratch folders with a seeded generator, a silent but counting hit sound,
// and message boxes collected instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/game_screen.hpp"
#include "tests/support/scratch_folder.hpp"

namespace game_testing {

// Fixed pixels.
constexpr Fixed px(int pixels) { return pixels * 0x10000; }

// A WAV file of the given number of 16-bit mono samples at 11025 Hz. With no samples the clip
// ends at once, so every play is accepted and counted.
std::vector<std::uint8_t> waveFile(std::uint32_t samples);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// 38400 bytes of level map: the given cells from level 1, row 0 on, the rest empty.
std::vector<std::uint8_t> levelFile(const std::vector<std::int32_t>& cells = {});

class GameFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "BrickMap.dat" (unless `levelBytes` is null) and "hit.wav", then builds the screen.
  game::GameScreen& makeGame(const std::vector<std::uint8_t>* levelBytes);
  // A game on an all-empty level 1, set up, with no ball at all.
  game::GameScreen& emptyField();
  // Runs the step n times with dt = 10.
  void run(int n);
  std::vector<const game::Ball*> ballList() const;
  std::vector<const game::Item*> itemList() const;

  testing_support::ScratchFolder data_;
  testing_support::ScratchFolder save_;
  std::unique_ptr<game::GameScreen> game_;
  std::vector<std::string> messages_;
};

}  // namespace game_testing
