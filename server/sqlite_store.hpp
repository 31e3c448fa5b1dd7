// The score store in one SQLite file, in WAL mode with synchronous=FULL, so a commit is on
// disk when it returns. One writer thread takes every submission queued so far and commits
// them in one transaction (group commit); queries run on a small pool of read connections,
// from any thread. Other processes (the moderation commands) may write the same file: their
// commits are noticed through PRAGMA data_version.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/score_store.hpp"
#include "server/submission_queue.hpp"

namespace server {

class SqliteConnection;

class SqliteStore final : public ScoreStore {
 public:
  struct Options {
    std::size_t readConnections = 2;
    std::size_t maxQueued = 4096;  // submissions waiting for the writer; more are Busy
    std::size_t maxBatch = 1024;   // submissions in one transaction
    std::int64_t maxPageCount = 0;  // a size limit of the file in pages (0: none), as a full disk
    std::chrono::milliseconds versionPoll{250};  // how often other processes' commits are looked for
    bool startWriter = true;  // false for the moderation commands, which never submit
  };

  // Opens (creating it when missing) and migrates the database. Null with a one-line
  // message when the file is not an SQLite database, is corrupt, is not writable or was made
  // by a newer server.
  static std::unique_ptr<SqliteStore> open(const std::string& path, const Options& options, std::string& error);
  // An online copy of the database at `path` into `destination` (SQLite's backup API),
  // written beside it and renamed into place when complete.
  static bool backup(const std::string& path, const std::string& destination, std::string& error);

  ~SqliteStore() override;

  void submit(Submission submission, AdmitNew admit, SubmitDone done) override;
  StoreResult<BoardPage> board(const BoardQuery& query) override;
  StoreResult<std::optional<RankView>> rankOf(std::string_view name, std::optional<UnixTime> from,
                                              std::size_t neighbours) override;
  StoreResult<bool> keepGame(const VerifiedGame& game) override;
  StoreResult<bool> hasGame(std::string_view id) override;
  StoreResult<std::optional<GameRecord>> game(std::string_view id) override;
  std::uint64_t version() override;
  StoreStatus health() override;
  StoreResult<std::vector<SubmissionRecord>> recent(std::size_t limit) override;
  StoreResult<bool> setHidden(std::int64_t id, bool hidden, std::string_view actor, UnixTime time) override;
  StoreResult<bool> setBanned(std::string_view name, bool banned, std::string_view actor, UnixTime time) override;
  StoreResult<std::vector<AuditRecord>> audit(std::size_t limit) override;
  void close() override;

 private:
  using Pending = PendingSubmission;
  class ReadLease;

  SqliteStore(std::unique_ptr<SqliteConnection> writer, const Options& options);
  void commitBatch(std::vector<Pending>& batch);
  SubmitOutcome storeOne(Pending& pending);
  // One moderation change and, when it changed a row, its audit row, in one transaction.
  // `change` returns an SQLite result code (SQLITE_DONE when it ran) and clears `found` when
  // its subject does not exist.
  StoreResult<bool> audited(std::string_view action, const std::string& subject, std::string_view actor, UnixTime time,
                            const std::function<int(SqliteConnection&, bool&)>& change);
  // Runs `work` in one write transaction on the writer connection, committed when it returns
  // SQLITE_OK and rolled back otherwise. value: the `changed` that `work` set (a change that
  // the version then tells).
  StoreResult<bool> inWriteTransaction(const std::function<int(SqliteConnection&, bool& changed)>& work);
  void noteChange() { generation_.fetch_add(1, std::memory_order_acq_rel); }

  Options options_;
  std::unique_ptr<SqliteConnection> writer_;
  std::mutex writerUse_;  // the writer connection: the writer thread, a moderation action or a kept game

  SubmissionQueue queue_;

  std::mutex readersMutex_;
  std::condition_variable readerFree_;
  std::vector<std::unique_ptr<SqliteConnection>> freeReaders_;

  std::atomic<std::uint64_t> generation_{1};
  std::mutex watchMutex_;
  std::unique_ptr<SqliteConnection> watcher_;
  std::int64_t lastDataVersion_ = 0;
  std::atomic<std::int64_t> nextPollNs_{0};
};

}  // namespace server
