#include "fuzz/support/memory_store.hpp"

#include <algorithm>

namespace fuzzing {

void MemoryStore::submit(server::Submission submission, server::AdmitNew admit, server::SubmitDone done) {
  const bool stored = std::any_of(entries_.begin(), entries_.end(), [&](const server::RankedEntry& entry) {
    return entry.name == submission.name && entry.score == submission.score;
  });
  if (stored) {
    done(server::SubmitOutcome::AlreadyStored);
    return;
  }
  if (admit && !admit()) {
    done(server::SubmitOutcome::Refused);
    return;
  }
  server::RankedEntry entry;
  entry.id = nextId_++;
  entry.name = std::move(submission.name);
  entry.score = submission.score;
  entry.time = submission.time;
  entries_.push_back(std::move(entry));
  if (entries_.size() > kCapacity) {
    entries_.erase(std::min_element(entries_.begin(), entries_.end(),
                                    [](const auto& a, const auto& b) { return a.score < b.score; }));
  }
  ++version_;
  done(server::SubmitOutcome::Stored);
}

std::vector<server::RankedEntry> MemoryStore::ranked(std::optional<server::UnixTime> from, bool verifiedOnly) const {
  std::vector<server::RankedEntry> rows;
  for (const server::RankedEntry& entry : entries_) {
    if ((!from || entry.time >= *from) && (!verifiedOnly || !entry.game.empty())) rows.push_back(entry);
  }
  std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    return a.score != b.score ? a.score > b.score : a.id < b.id;
  });
  server::assignRanks(rows, 0, 0);
  return rows;
}

server::StoreResult<server::BoardPage> MemoryStore::board(const server::BoardQuery& query) {
  const std::vector<server::RankedEntry> rows = ranked(query.from, query.verifiedOnly);
  server::StoreResult<server::BoardPage> result;
  const std::size_t first = static_cast<std::size_t>(std::min<std::uint64_t>(query.offset, rows.size()));
  const std::size_t last = first + std::min(query.limit, rows.size() - first);
  result.value.entries.assign(rows.begin() + static_cast<std::ptrdiff_t>(first), rows.begin() + static_cast<std::ptrdiff_t>(last));
  if (query.countTotal) result.value.total = rows.size();
  return result;
}

server::StoreResult<bool> MemoryStore::keepGame(const server::VerifiedGame& game) {
  if (hasGame(game.id).value) return {server::StoreStatus::Ok, false};
  auto entry = std::find_if(entries_.begin(), entries_.end(), [&](const server::RankedEntry& e) {
    return e.name == game.name && e.score == game.score;
  });
  if (entry == entries_.end()) {
    submit({game.name, game.score, game.time}, {}, [](server::SubmitOutcome) {});
    entry = std::find_if(entries_.begin(), entries_.end(), [&](const server::RankedEntry& e) {
      return e.name == game.name && e.score == game.score;
    });
  }
  // An entry the bounded table pushed out at once leaves the game without one.
  if (entry != entries_.end() && entry->game.empty()) entry->game = game.id;
  games_.emplace_back(game.id, server::GameRecord{game.name, game.score, *game.file});
  if (games_.size() > kCapacity) games_.erase(games_.begin());
  ++version_;
  return {server::StoreStatus::Ok, true};
}

server::StoreResult<bool> MemoryStore::hasGame(std::string_view id) {
  const bool known = std::any_of(games_.begin(), games_.end(), [&](const auto& kept) { return kept.first == id; });
  return {server::StoreStatus::Ok, known};
}

server::StoreResult<std::optional<server::GameRecord>> MemoryStore::game(std::string_view id) {
  server::StoreResult<std::optional<server::GameRecord>> result;
  for (const auto& [kept, record] : games_) {
    if (kept == id) result.value = record;
  }
  return result;
}

server::StoreResult<std::optional<server::RankView>> MemoryStore::rankOf(std::string_view name,
                                                                         std::optional<server::UnixTime> from,
                                                                         std::size_t neighbours) {
  const std::vector<server::RankedEntry> rows = ranked(from);
  server::StoreResult<std::optional<server::RankView>> result;
  const auto best = std::find_if(rows.begin(), rows.end(), [&](const auto& entry) { return entry.name == name; });
  if (best == rows.end()) return result;
  server::RankView view;
  view.entry = *best;
  const auto at = static_cast<std::size_t>(best - rows.begin());
  const std::size_t above = std::min(neighbours, at);
  view.above.assign(best - static_cast<std::ptrdiff_t>(above), best);
  view.below.assign(best + 1, best + 1 + static_cast<std::ptrdiff_t>(std::min(neighbours, rows.size() - at - 1)));
  result.value = std::move(view);
  return result;
}

server::StoreResult<std::vector<server::SubmissionRecord>> MemoryStore::recent(std::size_t limit) {
  server::StoreResult<std::vector<server::SubmissionRecord>> result;
  for (auto it = entries_.rbegin(); it != entries_.rend() && result.value.size() < limit; ++it) {
    result.value.push_back({it->id, it->name, it->score, it->time, false, false});
  }
  return result;
}

server::StoreResult<bool> MemoryStore::setHidden(std::int64_t, bool, std::string_view, server::UnixTime) {
  return {server::StoreStatus::NotFound, false};
}

server::StoreResult<bool> MemoryStore::setBanned(std::string_view, bool, std::string_view, server::UnixTime) {
  return {server::StoreStatus::Ok, false};
}

}  // namespace fuzzing
