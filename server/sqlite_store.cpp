#include "server/sqlite_store.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <set>
#include <string_view>

#include "server/sqlite_connection.hpp"
#include "server/sqlite_schema.hpp"

namespace server {
namespace {

constexpr int kBusyTimeoutMs = 5000;

// The entries that every board shows.
#define VISIBLE "s.hidden = 0 AND NOT EXISTS (SELECT 1 FROM banned_names b WHERE b.name = s.name)"
// With ?4 = 1, only the entries that have a verified game.
#define VERIFIED_IF_ASKED "(?4 = 0 OR EXISTS (SELECT 1 FROM verified_games g WHERE g.submission_id = s.id))"
// An entry's row: its first verified game's ID is null when it has none.
#define ENTRY_COLUMNS                                 \
  "s.id, s.name, s.score, s.submitted_at,"            \
  " (SELECT g.id FROM verified_games g WHERE g.submission_id = s.id ORDER BY g.seq LIMIT 1)"

constexpr const char* kFindPair = "SELECT id FROM submissions WHERE name = ?1 AND score = ?2";
constexpr const char* kInsert = "INSERT INTO submissions (name, score, submitted_at) VALUES (?1, ?2, ?3)";
constexpr const char* kPage =
    "SELECT " ENTRY_COLUMNS " FROM submissions s WHERE " VISIBLE " AND " VERIFIED_IF_ASKED
    " AND s.submitted_at >= ?1 ORDER BY s.score DESC, s.id ASC LIMIT ?2 OFFSET ?3";
constexpr const char* kCountHigher = "SELECT COUNT(*) FROM submissions s WHERE " VISIBLE " AND " VERIFIED_IF_ASKED
                                     " AND s.submitted_at >= ?1 AND s.score > ?2";
constexpr const char* kCountBefore =
    "SELECT COUNT(*) FROM submissions s WHERE " VISIBLE " AND " VERIFIED_IF_ASKED
    " AND s.submitted_at >= ?1 AND (s.score > ?2 OR (s.score = ?2 AND s.id < ?3))";
constexpr const char* kCountAll =
    "SELECT COUNT(*) FROM submissions s WHERE " VISIBLE " AND " VERIFIED_IF_ASKED " AND s.submitted_at >= ?1";
constexpr const char* kBestOfName =
    "SELECT " ENTRY_COLUMNS " FROM submissions s WHERE " VISIBLE
    " AND s.submitted_at >= ?1 AND s.name = ?2 ORDER BY s.score DESC, s.id ASC LIMIT 1";
constexpr const char* kAbove =
    "SELECT " ENTRY_COLUMNS " FROM submissions s WHERE " VISIBLE
    " AND s.submitted_at >= ?1 AND (s.score > ?2 OR (s.score = ?2 AND s.id < ?3))"
    " ORDER BY s.score ASC, s.id DESC LIMIT ?4";
constexpr const char* kBelow =
    "SELECT " ENTRY_COLUMNS " FROM submissions s WHERE " VISIBLE
    " AND s.submitted_at >= ?1 AND (s.score < ?2 OR (s.score = ?2 AND s.id > ?3))"
    " ORDER BY s.score DESC, s.id ASC LIMIT ?4";
constexpr const char* kRecent =
    "SELECT s.id, s.name, s.score, s.submitted_at, s.hidden,"
    " EXISTS (SELECT 1 FROM banned_names b WHERE b.name = s.name),"
    " EXISTS (SELECT 1 FROM verified_games g WHERE g.submission_id = s.id) FROM submissions s ORDER BY s.id DESC LIMIT ?1";
constexpr const char* kAudit = "SELECT id, at, action, subject, actor FROM audit ORDER BY id DESC LIMIT ?1";
constexpr const char* kAddAudit = "INSERT INTO audit (at, action, subject, actor) VALUES (?1, ?2, ?3, ?4)";
constexpr const char* kHide = "UPDATE submissions SET hidden = ?2 WHERE id = ?1 AND hidden <> ?2";
constexpr const char* kIdExists = "SELECT 1 FROM submissions WHERE id = ?1";
constexpr const char* kBan = "INSERT OR IGNORE INTO banned_names (name, banned_at) VALUES (?1, ?2)";
constexpr const char* kUnban = "DELETE FROM banned_names WHERE name = ?1";
constexpr const char* kGameKnown = "SELECT 1 FROM verified_games WHERE id = ?1";
constexpr const char* kKeepGame =
    "INSERT OR IGNORE INTO verified_games (id, submission_id, updates, verified_at, file) VALUES (?1, ?2, ?3, ?4, ?5)";
constexpr const char* kGameFile = "SELECT s.name, s.score, g.file FROM verified_games g"
                                  " JOIN submissions s ON s.id = g.submission_id WHERE g.id = ?1 AND " VISIBLE;

#undef VISIBLE
#undef VERIFIED_IF_ASKED
#undef ENTRY_COLUMNS

std::int64_t windowStart(std::optional<UnixTime> from) { return from.value_or(std::numeric_limits<std::int64_t>::min()); }

bool isFull(int rc) { return (rc & 0xFF) == SQLITE_FULL; }

StoreStatus statusOf(int rc) { return isFull(rc) ? StoreStatus::Full : StoreStatus::Unavailable; }

RankedEntry entryAt(const SqliteStatement& row) {
  RankedEntry entry;
  entry.id = row.integer(0);
  entry.name = row.text(1);
  entry.score = static_cast<std::uint32_t>(row.integer(2));
  entry.time = row.integer(3);
  entry.game = row.text(4);
  return entry;
}

// Rows of an entry query into `rows`; false on an error.
bool readEntries(SqliteStatement& statement, std::vector<RankedEntry>& rows) {
  for (;;) {
    const int rc = statement.step();
    if (rc == SQLITE_DONE) return true;
    if (rc != SQLITE_ROW) return false;
    rows.push_back(entryAt(statement));
  }
}

std::int64_t countOf(SqliteConnection& connection, const char* sql, std::int64_t from, std::int64_t score,
                     std::int64_t id, bool verifiedOnly, bool& failed) {
  StatementUse use(connection.statement(sql));
  if (!use) {
    failed = true;
    return 0;
  }
  use->bind(1, from).bind(2, score).bind(3, id).bind(4, verifiedOnly ? 1 : 0);
  if (use->step() != SQLITE_ROW) {
    failed = true;
    return 0;
  }
  return use->integer(0);
}

// Every row of a query whose only parameter is a row limit, each made by `read`.
template <class Row, class Read>
StoreResult<std::vector<Row>> readRows(SqliteConnection& db, const char* sql, std::size_t limit, const Read& read) {
  StoreResult<std::vector<Row>> result;
  StatementUse query(db.statement(sql));
  int rc = SQLITE_ERROR;
  if (query) {
    query->bind(1, static_cast<std::int64_t>(limit));
    for (rc = query->step(); rc == SQLITE_ROW; rc = query->step()) result.value.push_back(read(*query));
  }
  if (rc != SQLITE_DONE) {
    result.status = statusOf(db.lastErrorCode());
    result.value.clear();
  }
  return result;
}

// Opens a file and sets it up for the store: WAL, durable commits, a busy wait for other
// processes' transactions; checks that it is a sound, writable SQLite database.
std::unique_ptr<SqliteConnection> openWriter(const std::string& path, std::string& error) {
  std::unique_ptr<SqliteConnection> db =
      SqliteConnection::open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
  if (!db) {
    error = path + ": cannot open: " + error;
    return nullptr;
  }
  if (sqlite3_db_readonly(db->handle(), "main") == 1) {
    error = path + ": not writable";
    return nullptr;
  }
  sqlite3_busy_timeout(db->handle(), kBusyTimeoutMs);
  int rc = SQLITE_OK;
  {
    StatementUse check(db->statement("PRAGMA quick_check"));
    rc = check ? check->step() : db->lastErrorCode();
    if (rc == SQLITE_ROW && check->text(0) != "ok") {
      error = path + ": the database is corrupt (" + check->text(0) + ")";
      return nullptr;
    }
  }
  if ((rc & 0xFF) == SQLITE_NOTADB) {
    error = path + ": not an SQLite database";
    return nullptr;
  }
  if ((rc & 0xFF) == SQLITE_CORRUPT) {
    error = path + ": the database is corrupt";
    return nullptr;
  }
  if (rc != SQLITE_ROW) {
    error = path + ": " + db->lastError();
    return nullptr;
  }
  // WAL lets readers go on while the writer commits; synchronous=FULL makes each commit
  // durable when it returns (NORMAL in WAL mode is not).
  {
    StatementUse journal(db->statement("PRAGMA journal_mode=WAL"));
    if (!journal || journal->step() != SQLITE_ROW || journal->text(0) != "wal") {
      error = path + ": cannot use write-ahead logging (is the folder writable?): " + db->lastError();
      return nullptr;
    }
  }
  if (db->exec("PRAGMA synchronous=FULL") != SQLITE_OK) {
    error = path + ": " + db->lastError();
    return nullptr;
  }
  // Migrating is also the check that the file and its folder take writes.
  if (db->exec("BEGIN IMMEDIATE") != SQLITE_OK) {
    error = path + ": not writable: " + db->lastError();
    return nullptr;
  }
  std::string migrationError;
  if (!migrateSchema(*db, migrationError)) {
    db->exec("ROLLBACK");
    error = path + ": " + migrationError;
    return nullptr;
  }
  if (db->exec("COMMIT") != SQLITE_OK) {
    error = path + ": not writable: " + db->lastError();
    db->exec("ROLLBACK");
    return nullptr;
  }
  return db;
}

std::unique_ptr<SqliteConnection> openReader(const std::string& path, std::string& error) {
  std::unique_ptr<SqliteConnection> db = SqliteConnection::open(path, SQLITE_OPEN_READONLY, error);
  if (db) sqlite3_busy_timeout(db->handle(), kBusyTimeoutMs);
  return db;
}

std::int64_t steadyNowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The id of the game's entry, stored now when there is none; an SQLite result code.
int entryOf(SqliteConnection& db, const VerifiedGame& game, std::int64_t& entry) {
  {
    StatementUse find(db.statement(kFindPair));
    if (!find) return db.lastErrorCode();
    find->bind(1, game.name).bind(2, static_cast<std::int64_t>(game.score));
    const int rc = find->step();
    if (rc == SQLITE_ROW) {
      entry = find->integer(0);
      return SQLITE_OK;
    }
    if (rc != SQLITE_DONE) return rc;
  }
  StatementUse insert(db.statement(kInsert));
  if (!insert) return db.lastErrorCode();
  const int rc = insert->bind(1, game.name).bind(2, static_cast<std::int64_t>(game.score)).bind(3, game.time).step();
  if (rc != SQLITE_DONE) return rc;
  entry = sqlite3_last_insert_rowid(db.handle());
  return SQLITE_OK;
}

}  // namespace

// A read connection borrowed from the pool for one query.
class SqliteStore::ReadLease {
 public:
  explicit ReadLease(SqliteStore& store) : store_(store) {
    std::unique_lock lock(store_.readersMutex_);
    store_.readerFree_.wait(lock, [this] { return !store_.freeReaders_.empty(); });
    connection_ = std::move(store_.freeReaders_.back());
    store_.freeReaders_.pop_back();
  }
  ~ReadLease() {
    {
      std::lock_guard lock(store_.readersMutex_);
      store_.freeReaders_.push_back(std::move(connection_));
    }
    store_.readerFree_.notify_one();
  }
  ReadLease(const ReadLease&) = delete;
  ReadLease& operator=(const ReadLease&) = delete;
  SqliteConnection& operator*() const { return *connection_; }

 private:
  SqliteStore& store_;
  std::unique_ptr<SqliteConnection> connection_;
};

std::unique_ptr<SqliteStore> SqliteStore::open(const std::string& path, const Options& options, std::string& error) {
  std::unique_ptr<SqliteConnection> writer = openWriter(path, error);
  if (!writer) return nullptr;
  if (options.maxPageCount > 0) {
    const std::string limit = "PRAGMA max_page_count = " + std::to_string(options.maxPageCount);
    writer->exec(limit.c_str());
  }
  std::unique_ptr<SqliteStore> store(new SqliteStore(std::move(writer), options));
  for (std::size_t i = 0; i < std::max<std::size_t>(options.readConnections, 1); ++i) {
    std::unique_ptr<SqliteConnection> reader = openReader(path, error);
    if (!reader) {
      error = path + ": cannot open for reading: " + error;
      return nullptr;
    }
    store->freeReaders_.push_back(std::move(reader));
  }
  store->watcher_ = openReader(path, error);
  if (!store->watcher_) {
    error = path + ": cannot open for reading: " + error;
    return nullptr;
  }
  int rc = SQLITE_OK;
  store->lastDataVersion_ = store->watcher_->queryInteger("PRAGMA data_version", rc);
  if (options.startWriter) store->queue_.start([raw = store.get()](std::vector<Pending>& batch) { raw->commitBatch(batch); });
  return store;
}

SqliteStore::SqliteStore(std::unique_ptr<SqliteConnection> writer, const Options& options)
    : options_(options), writer_(std::move(writer)), queue_(options.maxQueued, options.maxBatch) {}

SqliteStore::~SqliteStore() { close(); }

void SqliteStore::close() { queue_.close(); }

void SqliteStore::submit(Submission submission, AdmitNew admit, SubmitDone done) {
  queue_.submit(std::move(submission), std::move(admit), std::move(done));
}

SubmitOutcome SqliteStore::storeOne(Pending& pending) {
  {
    StatementUse find(writer_->statement(kFindPair));
    if (!find) return SubmitOutcome::Unavailable;
    find->bind(1, pending.submission.name).bind(2, static_cast<std::int64_t>(pending.submission.score));
    const int rc = find->step();
    if (rc == SQLITE_ROW) return SubmitOutcome::AlreadyStored;
    if (rc != SQLITE_DONE) return isFull(rc) ? SubmitOutcome::Full : SubmitOutcome::Unavailable;
  }
  if (pending.admit && !pending.admit()) return SubmitOutcome::Refused;
  StatementUse insert(writer_->statement(kInsert));
  if (!insert) return SubmitOutcome::Unavailable;
  insert->bind(1, pending.submission.name)
      .bind(2, static_cast<std::int64_t>(pending.submission.score))
      .bind(3, pending.submission.time);
  const int rc = insert->step();
  if (rc == SQLITE_DONE) return SubmitOutcome::Stored;
  return isFull(rc) ? SubmitOutcome::Full : SubmitOutcome::Unavailable;
}

void SqliteStore::commitBatch(std::vector<Pending>& batch) {
  std::vector<SubmitOutcome> outcomes(batch.size(), SubmitOutcome::Unavailable);
  bool anyStored = false;
  {
    std::lock_guard use(writerUse_);
    int rc = writer_->exec("BEGIN IMMEDIATE");
    SubmitOutcome failure = SubmitOutcome::Unavailable;
    bool failed = rc != SQLITE_OK;
    if (failed && isFull(rc)) failure = SubmitOutcome::Full;
    // Pairs stored by this transaction: a later copy in the batch is AlreadyStored only if
    // the transaction commits.
    std::set<std::pair<std::string_view, std::uint32_t>> storedHere;
    std::vector<bool> copyOfNew(batch.size(), false);
    for (std::size_t i = 0; i < batch.size() && !failed; ++i) {
      const auto pair = std::pair<std::string_view, std::uint32_t>(batch[i].submission.name, batch[i].submission.score);
      outcomes[i] = storeOne(batch[i]);
      if (outcomes[i] == SubmitOutcome::Full || outcomes[i] == SubmitOutcome::Unavailable) {
        failed = true;
        failure = outcomes[i];
      }
      if (outcomes[i] == SubmitOutcome::Stored) storedHere.insert(pair);
      copyOfNew[i] = outcomes[i] == SubmitOutcome::AlreadyStored && storedHere.count(pair) > 0;
      anyStored = anyStored || outcomes[i] == SubmitOutcome::Stored;
    }
    if (!failed) {
      rc = writer_->exec("COMMIT");
      if (rc != SQLITE_OK) {
        failed = true;
        failure = isFull(rc) ? SubmitOutcome::Full : SubmitOutcome::Unavailable;
      }
    }
    if (failed) {
      // Nothing of this transaction is kept: what was about to be stored is not, and says so.
      writer_->exec("ROLLBACK");
      anyStored = false;
      for (std::size_t i = 0; i < batch.size(); ++i) {
        if ((outcomes[i] != SubmitOutcome::AlreadyStored || copyOfNew[i]) && outcomes[i] != SubmitOutcome::Refused) {
          outcomes[i] = failure;
        }
      }
    }
  }
  if (anyStored) noteChange();
  for (std::size_t i = 0; i < batch.size(); ++i) batch[i].done(outcomes[i]);
}

StoreResult<BoardPage> SqliteStore::board(const BoardQuery& query) {
  StoreResult<BoardPage> result;
  ReadLease lease(*this);
  SqliteConnection& db = *lease;
  const std::int64_t start = windowStart(query.from);
  const std::int64_t verifiedOnly = query.verifiedOnly ? 1 : 0;
  // One read transaction, so the rows, their ranks and the total agree.
  db.exec("BEGIN");
  bool failed = false;
  {
    StatementUse page(db.statement(kPage));
    failed = !page;
    if (page) {
      page->bind(1, start)
          .bind(2, static_cast<std::int64_t>(query.limit))
          .bind(3, static_cast<std::int64_t>(std::min<std::uint64_t>(query.offset, std::numeric_limits<std::int64_t>::max())))
          .bind(4, verifiedOnly);
      failed = !readEntries(*page, result.value.entries);
    }
  }
  std::uint64_t higher = 0;
  if (!failed && !result.value.entries.empty()) {
    higher = static_cast<std::uint64_t>(
        countOf(db, kCountHigher, start, result.value.entries.front().score, 0, query.verifiedOnly, failed));
  }
  if (!failed && query.countTotal) {
    result.value.total = static_cast<std::uint64_t>(countOf(db, kCountAll, start, 0, 0, query.verifiedOnly, failed));
  }
  db.exec("COMMIT");
  if (failed) {
    result.status = statusOf(db.lastErrorCode());
    result.value = {};
    return result;
  }
  assignRanks(result.value.entries, query.offset, higher);
  return result;
}

StoreResult<std::optional<RankView>> SqliteStore::rankOf(std::string_view name, std::optional<UnixTime> from,
                                                         std::size_t neighbours) {
  StoreResult<std::optional<RankView>> result;
  ReadLease lease(*this);
  SqliteConnection& db = *lease;
  const std::int64_t start = windowStart(from);
  db.exec("BEGIN");
  bool failed = false;
  std::vector<RankedEntry> best;
  {
    StatementUse find(db.statement(kBestOfName));
    failed = !find;
    if (find) {
      find->bind(1, start).bind(2, name);
      failed = !readEntries(*find, best);
    }
  }
  RankView view;
  std::uint64_t position = 0;
  if (!failed && !best.empty()) {
    view.entry = best.front();
    position = static_cast<std::uint64_t>(countOf(db, kCountBefore, start, view.entry.score, view.entry.id, false, failed));
    for (auto [sql, rows] : {std::pair{kAbove, &view.above}, std::pair{kBelow, &view.below}}) {
      StatementUse slice(db.statement(sql));
      if (failed || !slice) {
        failed = true;
        break;
      }
      slice->bind(1, start).bind(2, static_cast<std::int64_t>(view.entry.score)).bind(3, view.entry.id);
      slice->bind(4, static_cast<std::int64_t>(neighbours));
      failed = !readEntries(*slice, *rows);
    }
    std::reverse(view.above.begin(), view.above.end());
    // Ranks over the whole run from the first entry above to the last below.
    std::vector<RankedEntry> run = view.above;
    run.push_back(view.entry);
    run.insert(run.end(), view.below.begin(), view.below.end());
    const std::uint64_t higher =
        failed ? 0 : static_cast<std::uint64_t>(countOf(db, kCountHigher, start, run.front().score, 0, false, failed));
    assignRanks(run, position - view.above.size(), higher);
    std::copy(run.begin(), run.begin() + static_cast<std::ptrdiff_t>(view.above.size()), view.above.begin());
    view.entry = run[view.above.size()];
    std::copy(run.begin() + static_cast<std::ptrdiff_t>(view.above.size() + 1), run.end(), view.below.begin());
  }
  db.exec("COMMIT");
  if (failed) {
    result.status = statusOf(db.lastErrorCode());
    return result;
  }
  if (!best.empty()) result.value = std::move(view);
  return result;
}

std::uint64_t SqliteStore::version() {
  // Another process's commit shows as a new data_version on a connection of our own; it is
  // looked for at most every versionPoll, by one thread at a time.
  const std::int64_t now = steadyNowNs();
  std::int64_t due = nextPollNs_.load(std::memory_order_relaxed);
  if (now >= due && nextPollNs_.compare_exchange_strong(due, now + std::chrono::nanoseconds(options_.versionPoll).count())) {
    std::lock_guard lock(watchMutex_);
    int rc = SQLITE_OK;
    const std::int64_t dataVersion = watcher_->queryInteger("PRAGMA data_version", rc);
    if (rc == SQLITE_OK && dataVersion != lastDataVersion_) {
      lastDataVersion_ = dataVersion;
      noteChange();
    }
  }
  return generation_.load(std::memory_order_acquire);
}

StoreStatus SqliteStore::health() {
  ReadLease lease(*this);
  int rc = SQLITE_OK;
  (*lease).queryInteger("SELECT COUNT(*) FROM (SELECT 1 FROM submissions LIMIT 1)", rc);
  return rc == SQLITE_OK ? StoreStatus::Ok : StoreStatus::Unavailable;
}

StoreResult<std::vector<SubmissionRecord>> SqliteStore::recent(std::size_t limit) {
  ReadLease lease(*this);
  return readRows<SubmissionRecord>(*lease, kRecent, limit, [](const SqliteStatement& row) {
    return SubmissionRecord{row.integer(0), row.text(1), static_cast<std::uint32_t>(row.integer(2)), row.integer(3),
                            row.integer(4) != 0, row.integer(5) != 0, row.integer(6) != 0};
  });
}

StoreResult<std::vector<AuditRecord>> SqliteStore::audit(std::size_t limit) {
  ReadLease lease(*this);
  return readRows<AuditRecord>(*lease, kAudit, limit, [](const SqliteStatement& row) {
    return AuditRecord{row.integer(0), row.integer(1), row.text(2), row.text(3), row.text(4)};
  });
}

StoreResult<bool> SqliteStore::setHidden(std::int64_t id, bool hidden, std::string_view actor, UnixTime time) {
  return audited(hidden ? "hide" : "unhide", std::to_string(id), actor, time, [&](SqliteConnection& db, bool& found) {
    StatementUse update(db.statement(kHide));
    if (!update) return db.lastErrorCode();
    update->bind(1, id).bind(2, hidden ? 1 : 0);
    int rc = update->step();
    if (rc != SQLITE_DONE || sqlite3_changes(db.handle()) > 0) return rc;
    StatementUse find(db.statement(kIdExists));
    if (!find) return db.lastErrorCode();
    find->bind(1, id);
    rc = find->step();
    found = rc == SQLITE_ROW;
    return rc == SQLITE_ROW ? SQLITE_DONE : rc;
  });
}

StoreResult<bool> SqliteStore::setBanned(std::string_view name, bool banned, std::string_view actor, UnixTime time) {
  return audited(banned ? "ban" : "unban", std::string(name), actor, time, [&](SqliteConnection& db, bool&) {
    StatementUse update(db.statement(banned ? kBan : kUnban));
    if (!update) return db.lastErrorCode();
    update->bind(1, name);
    if (banned) update->bind(2, time);
    return update->step();
  });
}

StoreResult<bool> SqliteStore::audited(std::string_view action, const std::string& subject, std::string_view actor,
                                       UnixTime time, const std::function<int(SqliteConnection&, bool&)>& change) {
  bool found = true;
  StoreResult<bool> result = inWriteTransaction([&](SqliteConnection& db, bool& changed) {
    int rc = change(db, found);
    changed = rc == SQLITE_DONE && sqlite3_changes(db.handle()) > 0;
    if (rc != SQLITE_DONE || !changed) return rc == SQLITE_DONE ? SQLITE_OK : rc;
    StatementUse add(db.statement(kAddAudit));
    rc = add ? add->bind(1, time).bind(2, action).bind(3, subject).bind(4, actor).step() : db.lastErrorCode();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  });
  if (result.ok() && !found) result.status = StoreStatus::NotFound;
  return result;
}

StoreResult<bool> SqliteStore::inWriteTransaction(const std::function<int(SqliteConnection&, bool& changed)>& work) {
  StoreResult<bool> result;
  std::lock_guard use(writerUse_);
  SqliteConnection& db = *writer_;
  int rc = db.exec("BEGIN IMMEDIATE");
  if (rc == SQLITE_OK) rc = work(db, result.value);
  if (rc == SQLITE_OK) rc = db.exec("COMMIT");
  if (rc != SQLITE_OK) {
    db.exec("ROLLBACK");
    result.status = statusOf(rc);
    result.value = false;
    return result;
  }
  if (result.value) noteChange();
  return result;
}

StoreResult<bool> SqliteStore::keepGame(const VerifiedGame& game) {
  return inWriteTransaction([&](SqliteConnection& db, bool& kept) {
    std::int64_t entry = 0;
    int rc = entryOf(db, game, entry);
    if (rc != SQLITE_OK) return rc;
    StatementUse keep(db.statement(kKeepGame));
    rc = keep ? keep->bind(1, game.id)
                    .bind(2, entry)
                    .bind(3, static_cast<std::int64_t>(game.updates))
                    .bind(4, game.time)
                    .bindBlob(5, *game.file)
                    .step()
              : db.lastErrorCode();
    kept = rc == SQLITE_DONE && sqlite3_changes(db.handle()) > 0;
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  });
}

StoreResult<bool> SqliteStore::hasGame(std::string_view id) {
  StoreResult<bool> result;
  ReadLease lease(*this);
  StatementUse find((*lease).statement(kGameKnown));
  const int rc = find ? find->bind(1, id).step() : (*lease).lastErrorCode();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) result.status = statusOf(rc);
  result.value = rc == SQLITE_ROW;
  return result;
}

StoreResult<std::optional<GameRecord>> SqliteStore::game(std::string_view id) {
  StoreResult<std::optional<GameRecord>> result;
  ReadLease lease(*this);
  StatementUse find((*lease).statement(kGameFile));
  const int rc = find ? find->bind(1, id).step() : (*lease).lastErrorCode();
  if (rc == SQLITE_ROW) {
    result.value = GameRecord{find->text(0), static_cast<std::uint32_t>(find->integer(1)), find->text(2)};
  } else if (rc != SQLITE_DONE) {
    result.status = statusOf(rc);
  }
  return result;
}

bool SqliteStore::backup(const std::string& path, const std::string& destination, std::string& error) {
  std::unique_ptr<SqliteConnection> source = openReader(path, error);
  if (!source) {
    error = path + ": cannot open: " + error;
    return false;
  }
  const std::string partial = destination + ".partial";
  std::remove(partial.c_str());
  std::unique_ptr<SqliteConnection> target =
      SqliteConnection::open(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
  if (!target) {
    error = partial + ": cannot create: " + error;
    return false;
  }
  sqlite3_backup* copy = sqlite3_backup_init(target->handle(), "main", source->handle(), "main");
  if (copy == nullptr) {
    error = "backup: " + target->lastError();
    return false;
  }
  // Small steps, so the running server's writer is never held up for long.
  int rc = SQLITE_OK;
  do {
    rc = sqlite3_backup_step(copy, 256);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(10);
  } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
  sqlite3_backup_finish(copy);
  if (rc != SQLITE_DONE) {
    error = "backup: " + std::string(sqlite3_errstr(rc));
    target.reset();
    std::remove(partial.c_str());
    return false;
  }
  // The copy is a database of its own in rollback-journal mode: one file, ready to be moved.
  target->exec("PRAGMA journal_mode=DELETE");
  target.reset();
  if (std::rename(partial.c_str(), destination.c_str()) != 0) {
    error = destination + ": cannot write";
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

}  // namespace server
