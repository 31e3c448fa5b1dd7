// The score store on a PostgreSQL database that several server processes share. Correctness
// under concurrency lives in the database: a pair is unique by constraint and stored with
// INSERT ... ON CONFLICT DO NOTHING, ranks are computed in SQL. One writer thread per process
// stores every submission queued so far in one statement (group commit, durable when it
// returns with synchronous_commit on); queries use a bounded pool of connections with
// prepared statements. Every change is announced by triggers through NOTIFY, and a listener
// connection of the store's own turns other processes' changes into a new version().
//
// Every piece of work has a deadline (Options::deadline), so when the database stops or
// hangs, callers get Unavailable quickly; the pool and the listener reconnect by themselves.
//
// On a read-only standby (a streaming replica) the store only reads: submissions and
// moderation are Unavailable, the schema must be the primary's, and since a standby cannot
// LISTEN, the version follows the standby's replay position instead.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/postgres_pool.hpp"
#include "server/score_store.hpp"
#include "server/submission_queue.hpp"

namespace server {

class PostgresStore final : public ScoreStore {
 public:
  struct Options {
    std::size_t connections = 4;   // the pool's bound, beside the listener's connection
    std::size_t maxQueued = 4096;  // submissions waiting for the writer; more are Busy
    std::size_t maxBatch = 1024;   // submissions in one statement
    // The longest a request's work may take: waiting for a connection, connecting and its
    // statements, and for a submission its time in the queue.
    std::chrono::milliseconds deadline{1500};
    // After a failed connection attempt, requests fail at once for this long.
    std::chrono::milliseconds retryAfterFailure{250};
    bool startWriter = true;  // false for the moderation commands, which never submit
    bool listen = true;       // watch other processes' changes (false for the commands)
    std::chrono::milliseconds replayPoll{250};  // on a standby: how often its replay position is read
  };

  // Connects, migrates the schema and prepares the pool. Null with a one-line message when
  // the database cannot be reached or was made by a newer server.
  static std::unique_ptr<PostgresStore> open(const std::string& url, const Options& options, std::string& error);

  ~PostgresStore() override;

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

  PostgresStore(const std::string& url, const Options& options, std::string origin);
  Deadline deadlineFromNow() const { return std::chrono::steady_clock::now() + options_.deadline; }
  // One prepared statement on a pooled connection; a failed result carries the status.
  PgResult query(const char* statement, const std::vector<std::string>& parameters, StoreStatus& status);
  // The same for a statement that changes the database: Unavailable on a read replica.
  PgResult change(const char* statement, const std::vector<std::string>& parameters, StoreStatus& status);
  void commitBatch(std::vector<Pending>& batch);
  // Which pairs of the batch are stored already; false on a failure (`status` says which).
  bool findStored(PostgresConnection& connection, const std::vector<Pending*>& batch, Deadline deadline,
                  std::vector<bool>& stored, StoreStatus& status);
  void listenerLoop();
  void replayWatchLoop();
  // Connects the listener and starts listening; false when the database cannot be reached.
  bool startListening(std::string& error);
  // Waits on the wake-up eventfd (the store closing) for at most `wait`.
  void pause(std::chrono::milliseconds wait) const;
  void noteChange() { generation_.fetch_add(1, std::memory_order_acq_rel); }

  Options options_;
  bool standby_ = false;
  const std::string origin_;  // tells this store's own announcements from other processes'
  PostgresPool pool_;

  SubmissionQueue queue_;

  std::atomic<std::uint64_t> generation_{1};
  // Whether the listener is connected: while it is not, another process's change could go
  // unseen, so every call of version() gives a new version (nothing is served from a copy).
  std::atomic<bool> listening_{false};
  std::unique_ptr<PostgresConnection> listener_;  // the listener thread's own
  std::thread listenerThread_;
  std::atomic<bool> stopListening_{false};
  int wake_ = -1;  // an eventfd that wakes the listener to stop
};

}  // namespace server
