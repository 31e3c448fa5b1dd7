// "ScoreList.sav" of any length and content: loaded as the game loads it (the two options,
// then whole 32-byte records; a record the file does not hold whole gets its default), the
// table written back and read again unchanged, and a new score entered exactly when it beats
// the lowest, as unsigned numbers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/support/bytes.hpp"
#include "fuzz/support/scratch.hpp"
#include "platform/files.hpp"
#include "scores/score_table.hpp"
#include "shell/player_files.hpp"
#include "shell/process_state.hpp"

namespace {

constexpr std::size_t kNameUnits = scores::ScoreEntry::kMaxNameLength + 1;

// The name as a record holds it: up to the first 0 unit, at most 8 units.
std::u16string nameInRecord(const std::uint8_t* record) {
  std::u16string name;
  for (std::size_t i = 0; i < kNameUnits - 1; ++i) {
    const auto unit = static_cast<char16_t>(fuzzing::littleEndian(record, scores::kScoreRecordBytes, 2 + 2 * i, 2));
    if (unit == u'\0') break;
    name.push_back(unit);
  }
  return name;
}

bool sameEntries(const scores::ScoreTable& a, const scores::ScoreTable& b) {
  for (std::size_t i = 0; i < scores::ScoreTable::kEntries; ++i) {
    const scores::ScoreEntry& x = a.entry(i);
    const scores::ScoreEntry& y = b.entry(i);
    if (x.pendingUpload != y.pendingUpload || x.name != y.name || x.score != y.score) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::setSaveFolder(fuzzing::scratchFolder());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzzing::writeScratchFile(std::string(shell::fileName(shell::PlayerFile::ScoreTable)), data, size)) return 0;
  shell::ProcessState& process = shell::process();
  process.musicOn = 0;
  process.soundOn = 1;
  static scores::ScoreTable table;
  scores::loadScores(table);
  if ((size >= 1 && process.musicOn != data[0]) || (size >= 2 && process.soundOn != data[1]) ||
      (size < 1 && process.musicOn != 0) || (size < 2 && process.soundOn != 1)) {
    fuzzing::violated("an option differs from the file");
  }
  static const scores::ScoreTable defaults;
  for (std::size_t i = 0; i < scores::ScoreTable::kEntries; ++i) {
    scores::ScoreEntry& entry = table.entry(i);
    const std::size_t start = 2 + i * scores::kScoreRecordBytes;
    if (start + scores::kScoreRecordBytes <= size) {
      const std::uint8_t* record = data + start;
      if (entry.pendingUpload != record[0] || entry.nameText() != nameInRecord(record) ||
          entry.score != fuzzing::littleEndian(record, scores::kScoreRecordBytes, 20, 4)) {
        fuzzing::violated("an entry differs from its record");
      }
    } else if (entry.pendingUpload != 0 || entry.name != defaults.entry(i).name || entry.score != defaults.entry(i).score) {
      fuzzing::violated("an entry past the end of the file is not the default");
    }
    if (entry.name[scores::ScoreEntry::kMaxNameLength] != u'\0') fuzzing::violated("a name without its terminator");
  }

  const std::vector<std::uint8_t> encoded = scores::encodeScoreFile(table, process.musicOn, process.soundOn);
  if (encoded.size() != scores::kScoreFileBytes) fuzzing::violated("the file written is not 3,202 bytes");
  if (!fuzzing::writeScratchFile(std::string(shell::fileName(shell::PlayerFile::ScoreTable)), encoded.data(), encoded.size())) return 0;
  static scores::ScoreTable again;
  scores::loadScores(again);
  if (!sameEntries(table, again)) fuzzing::violated("the table does not survive being written and read");

  const std::uint32_t lowest = table.lowestScore();
  const std::uint32_t better = lowest == UINT32_MAX ? lowest : lowest + 1;
  const bool entered = table.insertScore(u"FUZZ", better);
  if (entered != (better > lowest)) fuzzing::violated("a better score was refused, or an equal one entered");
  return 0;
}
