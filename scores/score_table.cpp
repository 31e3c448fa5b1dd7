#include "scores/score_table.hpp"

#include <algorithm>
#include <utility>

#include "shell/player_files.hpp"
#include "shell/process_state.hpp"

namespace scores {
namespace {

constexpr std::size_t kNameOffset = 2;
constexpr std::size_t kNameUnits = ScoreEntry::kMaxNameLength + 1;
constexpr std::size_t kScoreOffset = 20;

std::uint32_t get32(const std::uint8_t* bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return value;
}

void put32(std::uint8_t* bytes, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void decodeEntry(const std::uint8_t* record, ScoreEntry& entry) {
  entry.pendingUpload = record[0];
  std::array<char16_t, kNameUnits> units{};
  for (std::size_t i = 0; i < kNameUnits; ++i) {
    const std::uint8_t* unit = record + kNameOffset + 2 * i;
    units[i] = static_cast<char16_t>(unit[0] | unit[1] << 8);
  }
  // The file may hold a ninth character where the terminator belongs.
  entry.setName(std::u16string_view(units.data(), units.size()));
  entry.score = get32(record + kScoreOffset);
}

void encodeEntry(const ScoreEntry& entry, std::uint8_t* record) {
  record[0] = entry.pendingUpload;
  for (std::size_t i = 0; i < kNameUnits; ++i) {
    record[kNameOffset + 2 * i] = static_cast<std::uint8_t>(entry.name[i] & 0xFF);
    record[kNameOffset + 2 * i + 1] = static_cast<std::uint8_t>(entry.name[i] >> 8);
  }
  put32(record + kScoreOffset, entry.score);
}

}  // namespace

ScoreTable::ScoreTable() {
  for (std::size_t i = 0; i < kEntries; ++i) {
    entries_[i] = std::make_unique<ScoreEntry>();
    setDefault(*entries_[i], i);
  }
}

void ScoreTable::setDefault(ScoreEntry& entry, std::size_t index) {
  entry.pendingUpload = 0;
  entry.setName(u"PLAYER");
  entry.score = static_cast<std::uint32_t>(kEntries - index);
}

bool ScoreTable::insertScore(std::u16string_view name, std::uint32_t score) {
  if (score == 0 || name.empty() || name.front() == u'\0') return false;
  if (entries_[kEntries - 1]->score >= score) return false;
  ScoreEntry& fresh = *entries_[kEntries - 1];
  fresh.pendingUpload = 1;
  fresh.setName(name);
  fresh.score = score;
  fresh.renderPictures();
  for (std::size_t i = kEntries - 1; i > 0 && entries_[i - 1]->score < score; --i) {
    std::swap(entries_[i - 1], entries_[i]);
  }
  return true;
}

std::vector<std::uint8_t> encodeScoreFile(const ScoreTable& table, std::uint8_t musicOn, std::uint8_t soundOn) {
  std::vector<std::uint8_t> bytes(kScoreFileBytes, 0);
  bytes[0] = musicOn;
  bytes[1] = soundOn;
  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) {
    encodeEntry(table.entry(i), bytes.data() + 2 + i * kScoreRecordBytes);
  }
  return bytes;
}

void loadScores(ScoreTable& table) {
  const platform::FileRead file = shell::readPlayerFile(shell::PlayerFile::ScoreTable, kScoreFileBytes);
  // Past what was read, an item meets either the end of the file or a failed read.
  const bool failed = !file.opened || file.readFailed;
  const std::size_t have = file.bytes.size();
  shell::ProcessState& process = shell::process();
  if (have >= 1) {
    process.musicOn = file.bytes[0];
  } else if (failed) {
    process.musicOn = 1;
  }
  if (have >= 2) {
    process.soundOn = file.bytes[1];
  } else if (failed) {
    process.soundOn = 1;
  }
  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) {
    const std::size_t start = 2 + i * kScoreRecordBytes;
    if (start + kScoreRecordBytes <= have) {
      decodeEntry(file.bytes.data() + start, table.entry(i));
    } else {
      ScoreTable::setDefault(table.entry(i), i);
    }
  }
}

bool saveScores(const ScoreTable& table) {
  const std::vector<std::uint8_t> bytes = encodeScoreFile(table, shell::process().musicOn, shell::process().soundOn);
  return shell::savePlayerFile(shell::PlayerFile::ScoreTable, bytes);
}

}  // namespace scores
