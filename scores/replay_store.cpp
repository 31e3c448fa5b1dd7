#include "scores/replay_store.hpp"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "platform/files.hpp"
#include "platform/problem_report.hpp"
#include "platform/unicode.hpp"
#include "replay/replay_file.hpp"

namespace scores {
namespace {

constexpr std::string_view kEntryPrefix = "ScoreList-";
constexpr std::string_view kUnsentPrefix = "Unsent-";

using Claim = std::pair<std::string, std::uint32_t>;  // UTF-8 name, score

std::string idOf(std::span<const std::uint8_t> bytes) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (const std::uint8_t b : bytes) hash = (hash ^ b) * 0x100000001B3ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string replayPath(std::string_view prefix, const std::string& id) {
  return platform::savePath(std::string(prefix) + id + std::string(replay::kFileExtension));
}

std::vector<std::string> stored(std::string_view prefix) {
  std::vector<std::string> paths;
  for (const std::string& name : platform::filesInFolder(platform::saveFolder(), prefix, replay::kFileExtension)) {
    paths.push_back(platform::saveFolder() + name);
  }
  return paths;
}

// The file and the claim it makes; nothing, with the file reported and removed, when it
// cannot be read as a replay.
std::optional<std::pair<StoredReplay, Claim>> readStored(const std::string& path) {
  platform::FileRead file = platform::readFile(path, replay::kMaxFileBytes + 1);
  std::string error = file.reason;
  if (file.opened && !file.readFailed) {
    if (const auto header = replay::peekHeader(file.bytes, &error)) {
      return std::make_pair(StoredReplay{path, std::move(file.bytes)}, Claim{header->name, header->score});
    }
  }
  platform::reportProblem("replay " + path + " cannot be read (" + error + "); removed");
  platform::removeFile(path);
  return std::nullopt;
}

std::map<Claim, std::size_t> pendingClaims(const ScoreTable& table) {
  std::map<Claim, std::size_t> claims;
  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) {
    const ScoreEntry& entry = table.entry(i);
    if (entry.pendingUpload != 0) ++claims[{platform::toUtf8(entry.nameText()), entry.score}];
  }
  return claims;
}

// The replays of pending entries that the table still claims, in file order; the others go.
std::vector<StoredReplay> claimedReplays(const ScoreTable& table) {
  std::map<Claim, std::size_t> claims = pendingClaims(table);
  std::vector<StoredReplay> kept;
  for (const std::string& path : stored(kEntryPrefix)) {
    auto found = readStored(path);
    if (!found) continue;
    std::size_t& left = claims[found->second];
    if (left == 0) {
      platform::removeFile(path);
      continue;
    }
    --left;
    kept.push_back(std::move(found->first));
  }
  return kept;
}

}  // namespace

bool keepReplay(std::span<const std::uint8_t> bytes, const ScoreTable& table) {
  const platform::FileWrite written = platform::writeFileAtomically(replayPath(kEntryPrefix, idOf(bytes)), bytes);
  if (!written.written) platform::reportProblem("the game's replay could not be kept: " + written.reason);
  dropReplaysOfLeftEntries(table);
  return written.written;
}

void dropReplaysOfLeftEntries(const ScoreTable& table) { claimedReplays(table); }

std::vector<StoredReplay> replaysToSend(const ScoreTable& table) {
  std::vector<StoredReplay> replays = claimedReplays(table);
  for (const std::string& path : stored(kUnsentPrefix)) {
    if (auto found = readStored(path)) replays.push_back(std::move(found->first));
  }
  return replays;
}

std::vector<std::string> storedReplayNames() {
  std::vector<std::string> names;
  for (const std::string_view prefix : {kEntryPrefix, kUnsentPrefix}) {
    names.push_back(std::string(prefix) + "*" + std::string(replay::kFileExtension));
  }
  return names;
}

void forgetReplay(const StoredReplay& replay) { platform::removeFile(replay.path); }

void keepUnsent(const StoredReplay& replay) {
  const std::string unsent = replayPath(kUnsentPrefix, idOf(replay.bytes));
  if (replay.path != unsent) platform::renameFile(replay.path, unsent);
  std::vector<std::string> all = stored(kUnsentPrefix);
  for (std::size_t i = kMaxUnsentReplays; i < all.size(); ++i) platform::removeFile(all[i - kMaxUnsentReplays]);
}

}  // namespace scores
