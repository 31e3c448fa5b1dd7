// A small score store in memory for the server's fuzz target: the store interface's
// behaviour (pairs stored once, the admission asked only for new ones, boards ranked best
// first and then by first submission, a name's rank with its neighbours, verified games
// kept once with their entry) without a database, so a request costs microseconds.
// Bounded: past kCapacity entries the lowest goes, and past kCapacity games the oldest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "server/score_store.hpp"

namespace fuzzing {

class MemoryStore final : public server::ScoreStore {
 public:
  static constexpr std::size_t kCapacity = 256;

  void submit(server::Submission submission, server::AdmitNew admit, server::SubmitDone done) override;
  server::StoreResult<server::BoardPage> board(const server::BoardQuery& query) override;
  server::StoreResult<std::optional<server::RankView>> rankOf(std::string_view name,
                                                              std::optional<server::UnixTime> from,
                                                              std::size_t neighbours) override;
  server::StoreResult<bool> keepGame(const server::VerifiedGame& game) override;
  server::StoreResult<bool> hasGame(std::string_view id) override;
  server::StoreResult<std::optional<server::GameRecord>> game(std::string_view id) override;
  std::uint64_t version() override { return version_; }
  server::StoreStatus health() override { return server::StoreStatus::Ok; }
  server::StoreResult<std::vector<server::SubmissionRecord>> recent(std::size_t limit) override;
  server::StoreResult<bool> setHidden(std::int64_t id, bool hidden, std::string_view actor, server::UnixTime time) override;
  server::StoreResult<bool> setBanned(std::string_view name, bool banned, std::string_view actor,
                                      server::UnixTime time) override;
  server::StoreResult<std::vector<server::AuditRecord>> audit(std::size_t) override { return {}; }
  void close() override {}

  // Every entry stored (with a verified game, when `verifiedOnly`), in the order of the
  // all-time board.
  std::vector<server::RankedEntry> ranked(std::optional<server::UnixTime> from, bool verifiedOnly = false) const;

 private:
  std::vector<server::RankedEntry> entries_;
  std::vector<std::pair<std::string, server::GameRecord>> games_;  // by ID, oldest first
  std::int64_t nextId_ = 1;
  std::uint64_t version_ = 1;
};

}  // namespace fuzzing
