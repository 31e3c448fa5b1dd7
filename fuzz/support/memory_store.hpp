// A small score store in memory for the server's fuzz target: the store interface's
// behaviour (pairs stored once, the admission asked only for new ones, boards ranked best
// first and then by first submission, a name's rank with its neighbours) without a
// database, so a request costs microseconds. Bounded: past kCapacity entries the lowest goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "server/score_store.hpp"

namespace fuzzing {

class MemoryStore final : public server::ScoreStore {
 public:
  static constexpr std::size_t kCapacity = 256;

  void submit(server::Submission submission, server::AdmitNew admit, server::SubmitDone done) override;
  server::StoreResult<server::BoardPage> board(std::optional<server::UnixTime> from, std::uint64_t offset,
                                               std::size_t limit, bool countTotal) override;
  server::StoreResult<std::optional<server::RankView>> rankOf(std::string_view name,
                                                              std::optional<server::UnixTime> from,
                                                              std::size_t neighbours) override;
  std::uint64_t version() override { return version_; }
  server::StoreStatus health() override { return server::StoreStatus::Ok; }
  server::StoreResult<std::vector<server::SubmissionRecord>> recent(std::size_t limit) override;
  server::StoreResult<bool> setHidden(std::int64_t id, bool hidden, std::string_view actor, server::UnixTime time) override;
  server::StoreResult<bool> setBanned(std::string_view name, bool banned, std::string_view actor,
                                      server::UnixTime time) override;
  server::StoreResult<std::vector<server::AuditRecord>> audit(std::size_t) override { return {}; }
  void close() override {}

  // Every entry stored, in the order of the all-time board.
  std::vector<server::RankedEntry> ranked(std::optional<server::UnixTime> from) const;

 private:
  std::vector<server::RankedEntry> entries_;
  std::int64_t nextId_ = 1;
  std::uint64_t version_ = 1;
};

}  // namespace fuzzing
