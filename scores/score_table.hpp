// The 100 best scores, best first, and their file "ScoreList.sav" in the save folder, which
// also keeps the music and sound options.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "scores/score_entry.hpp"

namespace scores {

class ScoreTable {
 public:
  static constexpr std::size_t kEntries = 100;

  // Every entry holds its default: "PLAYER" with 100 - i points, not pending.
  ScoreTable();
  ScoreTable(const ScoreTable&) = delete;
  ScoreTable& operator=(const ScoreTable&) = delete;

  ScoreEntry& entry(std::size_t index) { return *entries_[index]; }
  const ScoreEntry& entry(std::size_t index) const { return *entries_[index]; }

  static void setDefault(ScoreEntry& entry, std::size_t index);

  // The score of the last entry: a game must beat it strictly to enter the table.
  std::uint32_t lowestScore() const { return entries_[kEntries - 1]->score; }

  // Refuses a score of 0, an empty name, and a score not above the lowest one. Otherwise the
  // last entry takes the name (cut at 8 characters), the score and the pending flag, gets new
  // pictures and moves up past every lower score: among equal scores the newest is the lowest.
  // Entries move as a whole, pictures included.
  bool insertScore(std::u16string_view name, std::uint32_t score);

 private:
  std::array<std::unique_ptr<ScoreEntry>, kEntries> entries_;
};

// The file: musicOn, soundOn, then the entries of 32 bytes each (pendingUpload, an unused
// byte, 9 UTF-16LE code units of name, the score as unsigned 32-bit little-endian, and two
// 4-byte picture fields that are always 0).
constexpr std::size_t kScoreRecordBytes = 32;
constexpr std::size_t kScoreFileBytes = 2 + ScoreTable::kEntries * kScoreRecordBytes;  // 3,202

std::vector<std::uint8_t> encodeScoreFile(const ScoreTable& table, std::uint8_t musicOn, std::uint8_t soundOn);

// Fills the table and shell::process()'s musicOn and soundOn from the file, item by item. A
// missing file is created empty. An item past the end of the file keeps its start-up value
// (the options) or gets its default (the entries); an item the file could not deliver
// because it could not be opened or read gets its default, and an option becomes 1. A file
// that is there but cannot be read is then left as it is (shell/player_files.hpp). The
// pictures are not made here.
void loadScores(ScoreTable& table);

// Writes the options and the table beside the file and renames it over the old one, so a
// crash leaves either the old or the new table. False when that failed or was refused; the
// player has been told.
bool saveScores(const ScoreTable& table);

}  // namespace scores
