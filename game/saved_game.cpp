#include "game/saved_game.hpp"

#include <array>
#include <vector>

#include "game/level_map.hpp"
#include "shell/player_files.hpp"

namespace game {
namespace {

constexpr std::size_t kFileBytes = 12;

void put32(std::array<std::uint8_t, kFileBytes>& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  return v;
}

}  // namespace

std::optional<SavedGame> readSavedGame() {
  const platform::FileRead file = shell::readPlayerFile(shell::PlayerFile::SavedGame, kFileBytes);
  SavedGame game;
  if (file.bytes.size() >= 4) game.level = static_cast<std::int32_t>(get32(file.bytes, 0));
  if (file.bytes.size() >= 8) game.lives = static_cast<std::int32_t>(get32(file.bytes, 4));
  if (file.bytes.size() >= 12) game.score = get32(file.bytes, 8);
  // Playing on would read outside the level map, or without lives.
  if (!LevelMap::holds(game.level) || game.lives < 1) return std::nullopt;
  return game;
}

void writeSavedGame(const SavedGame& game) {
  std::array<std::uint8_t, kFileBytes> bytes{};
  put32(bytes, 0, static_cast<std::uint32_t>(game.level));
  put32(bytes, 4, static_cast<std::uint32_t>(game.lives));
  put32(bytes, 8, game.score);
  shell::savePlayerFile(shell::PlayerFile::SavedGame, bytes);
}

}  // namespace game
