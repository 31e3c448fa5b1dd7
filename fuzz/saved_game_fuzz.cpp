// "AutoSave.dat" of any length and content: read as the game reads it (each of its three
// little-endian values where the file has all four bytes of it, a new game's value where not;
// nothing to continue without a level of the map or without lives), then continued and
// played for a moment, so that hostile levels, lives and scores meet the game and its
// number displays.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/support/bytes.hpp"
#include "fuzz/support/game_harness.hpp"
#include "fuzz/support/scratch.hpp"
#include "game/level_map.hpp"
#include "game/saved_game.hpp"
#include "shell/player_files.hpp"
#include "shell/process_state.hpp"

namespace {

std::uint32_t valueInFile(const std::uint8_t* data, std::size_t size, std::size_t index, std::uint32_t otherwise) {
  if (size < (index + 1) * 4) return otherwise;
  return static_cast<std::uint32_t>(fuzzing::littleEndian(data, size, index * 4, 4));
}

std::int32_t signedValueInFile(const std::uint8_t* data, std::size_t size, std::size_t index, std::int32_t otherwise) {
  return static_cast<std::int32_t>(valueInFile(data, size, index, static_cast<std::uint32_t>(otherwise)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::GameHarness& harness = fuzzing::GameHarness::instance();
  if (!fuzzing::writeScratchFile("save/" + std::string(shell::fileName(shell::PlayerFile::SavedGame)), data, size)) {
    return 0;
  }
  const std::optional<game::SavedGame> saved = game::readSavedGame();
  const game::SavedGame fresh;
  const game::SavedGame inFile{signedValueInFile(data, size, 0, fresh.level), signedValueInFile(data, size, 1, fresh.lives),
                               valueInFile(data, size, 2, fresh.score)};
  const bool continuable = game::LevelMap::holds(inFile.level) && inFile.lives >= 1;
  if (saved.has_value() != continuable) fuzzing::violated("a saved game was continued or refused wrongly");
  if (saved && (saved->level != inFile.level || saved->lives != inFile.lives || saved->score != inFile.score)) {
    fuzzing::violated("the saved game differs from the file");
  }

  harness.startNewGame();
  harness.game().loadSavedGame();
  const game::SavedGame playing = saved.value_or(fresh);
  if (harness.game().levelNumber() != playing.level || harness.rig().lives() != playing.lives ||
      shell::currentScore() != playing.score) {
    fuzzing::violated("the game did not continue from the saved game");
  }
  harness.game().setUpLevel();
  harness.play(10, 1000);
  return 0;
}
