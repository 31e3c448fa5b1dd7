#include "server/postgres_store.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>

#include "server/postgres_schema.hpp"
#include "server/store_factory.hpp"

namespace server {
namespace {

// Starting up may wait for another server's migration.
constexpr auto kOpenDeadline = std::chrono::seconds(10);

// The entries that every board shows.
#define VISIBLE "NOT s.hidden AND NOT EXISTS (SELECT 1 FROM banned_names b WHERE b.name = s.name)"
// With $4 true, only the entries that have a verified game.
#define VERIFIED_IF_ASKED "(NOT $4::boolean OR EXISTS (SELECT 1 FROM verified_games g WHERE g.submission_id = s.id))"
#define ENTRY_COLUMNS "s.id, s.name, s.score, s.submitted_at"
// The first verified game of the entry `e`; null when it has none.
#define GAME_OF(e) "(SELECT g.id FROM verified_games g WHERE g.submission_id = " e ".id ORDER BY g.seq LIMIT 1)"

// Prepared on every pooled connection. Ranks are competition ranks: 1 + the number of visible
// entries with a higher score in the same window, computed by the database. Rows of entries
// are the ENTRY_COLUMNS, the game and the rank (entryAt).
constexpr struct {
  const char* name;
  const char* sql;
} kStatements[] = {
    {"zl_find", "SELECT u.i FROM unnest($1::text[], $2::bigint[]) WITH ORDINALITY AS u(name, score, i)"
                " WHERE EXISTS (SELECT 1 FROM submissions s WHERE s.name = u.name AND s.score = u.score)"},
    // The ids follow the batch's order, which is the order of arrival.
    {"zl_insert", "INSERT INTO submissions (name, score, submitted_at)"
                  " SELECT u.name, u.score, u.at FROM unnest($1::text[], $2::bigint[], $3::bigint[])"
                  " WITH ORDINALITY AS u(name, score, at, i) ORDER BY u.i"
                  " ON CONFLICT (name, score) DO NOTHING RETURNING name, score"},
    {"zl_page", "SELECT " ENTRY_COLUMNS ", " GAME_OF("s") ", rank() OVER (ORDER BY s.score DESC) FROM submissions s"
                " WHERE " VISIBLE " AND " VERIFIED_IF_ASKED " AND s.submitted_at >= $1::bigint"
                " ORDER BY s.score DESC, s.id LIMIT $2::bigint OFFSET $3::bigint"},
    // The same with the board's total, in one statement so that both see the same data; an
    // offset past the end gives one row of nulls that carries the total.
    {"zl_page_counted",
     "SELECT p.id, p.name, p.score, p.submitted_at, p.game, p.rank, t.total FROM"
     " (SELECT count(*) AS total FROM submissions s WHERE " VISIBLE " AND " VERIFIED_IF_ASKED
     "  AND s.submitted_at >= $1::bigint) t"
     " LEFT JOIN LATERAL (SELECT " ENTRY_COLUMNS ", " GAME_OF("s") " AS game, rank() OVER (ORDER BY s.score DESC) AS rank"
     "  FROM submissions s WHERE " VISIBLE " AND " VERIFIED_IF_ASKED " AND s.submitted_at >= $1::bigint"
     "  ORDER BY s.score DESC, s.id LIMIT $2::bigint OFFSET $3::bigint) p ON true ORDER BY p.score DESC, p.id"},
    // The name's best entry, the $3 entries just above it and the $3 just below, ranked; the
    // last column tells the name's own row.
    {"zl_rank",
     "WITH me AS (SELECT " ENTRY_COLUMNS " FROM submissions s WHERE " VISIBLE
     "  AND s.submitted_at >= $1::bigint AND s.name = $2::text ORDER BY s.score DESC, s.id LIMIT 1),"
     " near AS (SELECT * FROM me"
     "  UNION ALL (SELECT " ENTRY_COLUMNS " FROM submissions s, me WHERE " VISIBLE
     "   AND s.submitted_at >= $1::bigint AND s.score >= me.score AND (s.score > me.score OR s.id < me.id)"
     "   ORDER BY s.score, s.id DESC LIMIT $3::bigint)"
     "  UNION ALL (SELECT " ENTRY_COLUMNS " FROM submissions s, me WHERE " VISIBLE
     "   AND s.submitted_at >= $1::bigint AND s.score <= me.score AND (s.score < me.score OR s.id > me.id)"
     "   ORDER BY s.score DESC, s.id LIMIT $3::bigint))"
     " SELECT n.id, n.name, n.score, n.submitted_at, " GAME_OF("n") ","
     "  1 + (SELECT count(*) FROM submissions s WHERE " VISIBLE
     "   AND s.submitted_at >= $1::bigint AND s.score > n.score),"
     "  n.id = (SELECT id FROM me)"
     " FROM near n ORDER BY n.score DESC, n.id"},
    {"zl_recent", "SELECT " ENTRY_COLUMNS ", s.hidden, EXISTS (SELECT 1 FROM banned_names b WHERE b.name = s.name),"
                  " EXISTS (SELECT 1 FROM verified_games g WHERE g.submission_id = s.id)"
                  " FROM submissions s ORDER BY s.id DESC LIMIT $1::bigint"},
    {"zl_audit", "SELECT id, at, action, subject, actor FROM audit ORDER BY id DESC LIMIT $1::bigint"},
    // Each moderation change and its audit row in one statement, so both or neither happen.
    {"zl_hide", "WITH changed AS (UPDATE submissions SET hidden = $2::boolean WHERE id = $1::bigint"
                "  AND hidden <> $2::boolean RETURNING id),"
                " logged AS (INSERT INTO audit (at, action, subject, actor)"
                "  SELECT $3::bigint, $4::text, $1::bigint::text, $5::text FROM changed RETURNING id)"
                " SELECT (SELECT count(*) FROM changed), EXISTS (SELECT 1 FROM submissions WHERE id = $1::bigint)"},
    {"zl_ban", "WITH changed AS (INSERT INTO banned_names (name, banned_at) VALUES ($1::text, $2::bigint)"
               "  ON CONFLICT DO NOTHING RETURNING name),"
               " logged AS (INSERT INTO audit (at, action, subject, actor)"
               "  SELECT $2::bigint, 'ban', $1::text, $3::text FROM changed RETURNING id)"
               " SELECT count(*) FROM changed"},
    {"zl_unban", "WITH changed AS (DELETE FROM banned_names WHERE name = $1::text RETURNING name),"
                 " logged AS (INSERT INTO audit (at, action, subject, actor)"
                 "  SELECT $2::bigint, 'unban', $1::text, $3::text FROM changed RETURNING id)"
                 " SELECT count(*) FROM changed"},
    {"zl_health", "SELECT 1 FROM submissions LIMIT 1"},
    {"zl_game_known", "SELECT 1 FROM verified_games WHERE id = $1::text"},
    // The entry of the name and score (stored now when there is none) and the game with it.
    // The statement's snapshot does not show an entry that another server stores at the same
    // moment: then nothing is kept and the second column is false, and the caller tries again.
    {"zl_keep_game",
     "WITH entry AS (INSERT INTO submissions (name, score, submitted_at) VALUES ($2::text, $3::bigint, $4::bigint)"
     "  ON CONFLICT (name, score) DO NOTHING RETURNING id),"
     " target AS (SELECT id FROM entry UNION ALL SELECT id FROM submissions WHERE name = $2::text AND score = $3::bigint),"
     " kept AS (INSERT INTO verified_games (id, submission_id, updates, verified_at, file)"
     "  SELECT $1::text, t.id, $5::bigint, $4::bigint, $6::bytea FROM (SELECT id FROM target LIMIT 1) t"
     "  ON CONFLICT (id) DO NOTHING RETURNING 1)"
     " SELECT (SELECT count(*) FROM kept), EXISTS (SELECT 1 FROM target)"},
    {"zl_game_file", "SELECT s.name, s.score, g.file FROM verified_games g JOIN submissions s ON s.id = g.submission_id"
                     " WHERE g.id = $1::text AND " VISIBLE},
};

#undef VISIBLE
#undef VERIFIED_IF_ASKED
#undef ENTRY_COLUMNS
#undef GAME_OF

// The session settings and the prepared statements of every pooled connection. The server
// gives up on a statement when the client would (the deadline); commits are durable when
// they return.
std::string connectionSetup(std::chrono::milliseconds deadline, const std::string& origin) {
  std::string sql = "SET statement_timeout = " + std::to_string(deadline.count()) +
                    "; SET lock_timeout = " + std::to_string(deadline.count()) +
                    "; SET synchronous_commit = on; SET zebrolite.origin = '" + origin + "';";
  for (const auto& statement : kStatements) {
    sql += " PREPARE ";
    sql += statement.name;
    sql += " AS ";
    sql += statement.sql;
    sql += ';';
  }
  return sql;
}

std::string randomOrigin() {
  std::random_device device;
  const std::uint64_t value = (static_cast<std::uint64_t>(device()) << 32) ^ device() ^ static_cast<std::uint64_t>(getpid());
  return std::to_string(value);
}

std::string windowStart(std::optional<UnixTime> from) {
  return std::to_string(from.value_or(std::numeric_limits<std::int64_t>::min()));
}

StoreStatus statusOf(const PgResult& result) {
  // Class 53: insufficient resources (53100 is a full disk).
  return result.sqlState() == "53100" ? StoreStatus::Full : StoreStatus::Unavailable;
}

SubmitOutcome outcomeOf(StoreStatus status) {
  switch (status) {
    case StoreStatus::Full: return SubmitOutcome::Full;
    case StoreStatus::Busy: return SubmitOutcome::Busy;
    default: return SubmitOutcome::Unavailable;
  }
}

RankedEntry entryAt(const PgResult& rows, int row) {
  RankedEntry entry;
  entry.id = rows.integer(row, 0);
  entry.name = std::string(rows.text(row, 1));
  entry.score = static_cast<std::uint32_t>(rows.integer(row, 2));
  entry.time = rows.integer(row, 3);
  entry.game = std::string(rows.text(row, 4));
  entry.rank = static_cast<std::uint64_t>(rows.integer(row, 5));
  return entry;
}

// bytea in PostgreSQL's hex text form (a backslash, 'x', then two digits a byte), and back.
std::string byteaText(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "\\x";
  text.reserve(2 + 2 * bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  return text;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> bytesOfBytea(std::string_view text) {
  if (!text.starts_with("\\x") || text.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(text.size() / 2 - 1);
  for (std::size_t i = 2; i < text.size(); i += 2) {
    const int high = hexDigit(text[i]);
    const int low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high << 4 | low);
  }
  return bytes;
}

}  // namespace

std::unique_ptr<PostgresStore> PostgresStore::open(const std::string& url, const Options& options,
                                                   std::string& error) {
  const std::string shown = redactedDatabase(url);
  const Deadline deadline = std::chrono::steady_clock::now() + kOpenDeadline;
  bool standby = false;
  {
    std::unique_ptr<PostgresConnection> migrator = PostgresConnection::connect(url, deadline, error);
    if (!migrator) {
      error = shown + ": cannot connect: " + error;
      return nullptr;
    }
    const PgResult recovery = migrator->run("SELECT pg_is_in_recovery()", deadline);
    standby = recovery.boolean(0, 0);
    if (!recovery.ok() || !(standby ? checkPostgresSchema(*migrator, deadline, error)
                                    : migratePostgresSchema(*migrator, deadline, error))) {
      error = shown + ": " + (recovery.ok() ? error : recovery.message());
      return nullptr;
    }
  }
  Options chosen = options;
  if (standby) chosen.startWriter = false;
  std::unique_ptr<PostgresStore> store(new PostgresStore(url, chosen, randomOrigin()));
  store->standby_ = standby;
  if (options.listen && !standby && !store->startListening(error)) {
    error = shown + ": cannot listen for changes: " + error;
    return nullptr;
  }
  // Checks the statements once, so that a fault in them shows at start, not at the first request.
  StoreStatus status = StoreStatus::Ok;
  if (!store->pool_.acquire(deadline, status, error)) {
    error = shown + ": " + error;
    return nullptr;
  }
  if (options.listen) {
    store->listenerThread_ = std::thread([raw = store.get()] { raw->standby_ ? raw->replayWatchLoop() : raw->listenerLoop(); });
  }
  if (chosen.startWriter) store->queue_.start([raw = store.get()](std::vector<Pending>& batch) { raw->commitBatch(batch); });
  return store;
}

PostgresStore::PostgresStore(const std::string& url, const Options& options, std::string origin)
    : options_(options),
      origin_(std::move(origin)),
      pool_(url, connectionSetup(options.deadline, origin_), options.connections, options.retryAfterFailure),
      queue_(options.maxQueued, options.maxBatch),
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

PostgresStore::~PostgresStore() {
  close();
  if (wake_ >= 0) ::close(wake_);
}

void PostgresStore::close() {
  queue_.close();
  stopListening_ = true;
  const std::uint64_t one = 1;
  if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0) {
    // The listener notices the flag at its next wake-up anyway.
  }
  if (listenerThread_.joinable()) listenerThread_.join();
}

PgResult PostgresStore::query(const char* statement, const std::vector<std::string>& parameters,
                              StoreStatus& status) {
  const Deadline deadline = deadlineFromNow();
  std::string error;
  PostgresPool::Lease lease = pool_.acquire(deadline, status, error);
  if (!lease) return PgResult::failure(error);
  PgResult result = lease->runPrepared(statement, parameters, deadline);
  status = result.ok() ? StoreStatus::Ok : statusOf(result);
  return result;
}

PgResult PostgresStore::change(const char* statement, const std::vector<std::string>& parameters,
                               StoreStatus& status) {
  if (standby_) {
    status = StoreStatus::Unavailable;
    return PgResult::failure("a read replica takes no changes");
  }
  return query(statement, parameters, status);
}

void PostgresStore::submit(Submission submission, AdmitNew admit, SubmitDone done) {
  queue_.submit(std::move(submission), std::move(admit), std::move(done));
}

bool PostgresStore::findStored(PostgresConnection& connection, const std::vector<Pending*>& batch, Deadline deadline,
                               std::vector<bool>& stored, StoreStatus& status) {
  std::vector<std::string_view> names;
  std::vector<std::int64_t> scores;
  for (const Pending* pending : batch) {
    names.push_back(pending->submission.name);
    scores.push_back(pending->submission.score);
  }
  const PgResult found = connection.runPrepared("zl_find", {textArray(names), integerArray(scores)}, deadline);
  if (!found.ok()) {
    status = statusOf(found);
    return false;
  }
  stored.assign(batch.size(), false);
  for (int row = 0; row < found.rows(); ++row) {
    const std::int64_t position = found.integer(row, 0) - 1;
    if (position >= 0 && static_cast<std::size_t>(position) < batch.size()) stored[static_cast<std::size_t>(position)] = true;
  }
  return true;
}

void PostgresStore::commitBatch(std::vector<Pending>& batch) {
  const auto now = std::chrono::steady_clock::now();
  std::vector<SubmitOutcome> outcomes(batch.size(), SubmitOutcome::Unavailable);
  // What waited past its deadline is answered at once: its client is owed a quick reply.
  std::vector<Pending*> live;
  std::vector<std::size_t> liveIndex;
  Deadline deadline = Deadline::max();
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const Deadline due = batch[i].queuedAt + options_.deadline;
    if (due <= now) continue;
    live.push_back(&batch[i]);
    liveIndex.push_back(i);
    deadline = std::min(deadline, due);
  }
  bool anyStored = false;
  StoreStatus status = StoreStatus::Ok;
  std::string error;
  std::vector<bool> stored;
  PostgresPool::Lease lease;
  if (!live.empty()) lease = pool_.acquire(deadline, status, error);
  if (lease && findStored(*lease, live, deadline, stored, status)) {
    // In the order of arrival: a pair already stored, or new in this batch before, is
    // AlreadyStored without asking; a new one asks for admission. `first` maps each pair
    // to be inserted to its first place in `live`; a later copy follows that one's fate.
    std::map<std::pair<std::string_view, std::uint32_t>, std::size_t> first;
    std::vector<std::size_t> copyOf(live.size(), live.size());
    std::vector<std::string_view> names;
    std::vector<std::int64_t> scores;
    std::vector<std::int64_t> times;
    for (std::size_t i = 0; i < live.size(); ++i) {
      const Submission& submission = live[i]->submission;
      const auto key = std::pair<std::string_view, std::uint32_t>(submission.name, submission.score);
      SubmitOutcome& outcome = outcomes[liveIndex[i]];
      if (stored[i]) {
        outcome = SubmitOutcome::AlreadyStored;
      } else if (const auto earlier = first.find(key); earlier != first.end()) {
        copyOf[i] = earlier->second;
      } else if (live[i]->admit && !live[i]->admit()) {
        outcome = SubmitOutcome::Refused;
      } else {
        first.emplace(key, i);
        names.push_back(submission.name);
        scores.push_back(submission.score);
        times.push_back(submission.time);
      }
    }
    if (!names.empty()) {
      const PgResult inserted = lease->runPrepared(
          "zl_insert", {textArray(names), integerArray(scores), integerArray(times)}, deadline);
      // A pair that another server stored since zl_find is not returned: already stored.
      const SubmitOutcome lostRace = inserted.ok() ? SubmitOutcome::AlreadyStored : outcomeOf(statusOf(inserted));
      for (const auto& [key, at] : first) outcomes[liveIndex[at]] = lostRace;
      for (int row = 0; row < inserted.rows(); ++row) {
        const auto key = std::pair<std::string_view, std::uint32_t>(
            inserted.text(row, 0), static_cast<std::uint32_t>(inserted.integer(row, 1)));
        if (const auto at = first.find(key); at != first.end()) outcomes[liveIndex[at->second]] = SubmitOutcome::Stored;
      }
      anyStored = inserted.rows() > 0;
    }
    for (std::size_t i = 0; i < live.size(); ++i) {
      if (copyOf[i] == live.size()) continue;
      const SubmitOutcome original = outcomes[liveIndex[copyOf[i]]];
      outcomes[liveIndex[i]] = original == SubmitOutcome::Stored ? SubmitOutcome::AlreadyStored : original;
    }
  } else {
    for (const std::size_t i : liveIndex) outcomes[i] = outcomeOf(status);
  }
  lease = PostgresPool::Lease();
  if (anyStored) noteChange();
  for (std::size_t i = 0; i < batch.size(); ++i) batch[i].done(outcomes[i]);
}

StoreResult<BoardPage> PostgresStore::board(const BoardQuery& board) {
  StoreResult<BoardPage> result;
  const std::uint64_t safeOffset = std::min<std::uint64_t>(board.offset, std::numeric_limits<std::int64_t>::max());
  const PgResult rows = query(board.countTotal ? "zl_page_counted" : "zl_page",
                              {windowStart(board.from), std::to_string(board.limit), std::to_string(safeOffset),
                               board.verifiedOnly ? "true" : "false"},
                              result.status);
  if (!rows.ok()) return result;
  for (int row = 0; row < rows.rows(); ++row) {
    if (board.countTotal) result.value.total = static_cast<std::uint64_t>(rows.integer(row, 6));
    if (!rows.text(row, 0).empty()) result.value.entries.push_back(entryAt(rows, row));
  }
  return result;
}

StoreResult<std::optional<RankView>> PostgresStore::rankOf(std::string_view name, std::optional<UnixTime> from,
                                                           std::size_t neighbours) {
  StoreResult<std::optional<RankView>> result;
  const PgResult rows = query("zl_rank", {windowStart(from), std::string(name), std::to_string(neighbours)}, result.status);
  if (!rows.ok() || rows.rows() == 0) return result;
  RankView view;
  bool seenOwn = false;
  for (int row = 0; row < rows.rows(); ++row) {
    RankedEntry entry = entryAt(rows, row);
    if (rows.boolean(row, 6)) {
      view.entry = std::move(entry);
      seenOwn = true;
    } else {
      (seenOwn ? view.below : view.above).push_back(std::move(entry));
    }
  }
  result.value = std::move(view);
  return result;
}

std::uint64_t PostgresStore::version() {
  if (options_.listen && !listening_.load(std::memory_order_acquire)) noteChange();
  return generation_.load(std::memory_order_acquire);
}

StoreStatus PostgresStore::health() {
  StoreStatus status = StoreStatus::Ok;
  query("zl_health", {}, status);
  return status;
}

StoreResult<std::vector<SubmissionRecord>> PostgresStore::recent(std::size_t limit) {
  StoreResult<std::vector<SubmissionRecord>> result;
  const PgResult rows = query("zl_recent", {std::to_string(limit)}, result.status);
  for (int row = 0; row < rows.rows(); ++row) {
    result.value.push_back({rows.integer(row, 0), std::string(rows.text(row, 1)),
                            static_cast<std::uint32_t>(rows.integer(row, 2)), rows.integer(row, 3),
                            rows.boolean(row, 4), rows.boolean(row, 5), rows.boolean(row, 6)});
  }
  return result;
}

StoreResult<std::vector<AuditRecord>> PostgresStore::audit(std::size_t limit) {
  StoreResult<std::vector<AuditRecord>> result;
  const PgResult rows = query("zl_audit", {std::to_string(limit)}, result.status);
  for (int row = 0; row < rows.rows(); ++row) {
    result.value.push_back({rows.integer(row, 0), rows.integer(row, 1), std::string(rows.text(row, 2)),
                            std::string(rows.text(row, 3)), std::string(rows.text(row, 4))});
  }
  return result;
}

StoreResult<bool> PostgresStore::setHidden(std::int64_t id, bool hidden, std::string_view actor, UnixTime time) {
  StoreResult<bool> result;
  const PgResult rows = change("zl_hide",
                              {std::to_string(id), hidden ? "true" : "false", std::to_string(time),
                               hidden ? "hide" : "unhide", std::string(actor)},
                              result.status);
  if (!rows.ok()) return result;
  result.value = rows.integer(0, 0) > 0;
  if (!rows.boolean(0, 1)) result.status = StoreStatus::NotFound;
  if (result.value) noteChange();
  return result;
}

StoreResult<bool> PostgresStore::setBanned(std::string_view name, bool banned, std::string_view actor, UnixTime time) {
  StoreResult<bool> result;
  const PgResult rows =
      change(banned ? "zl_ban" : "zl_unban", {std::string(name), std::to_string(time), std::string(actor)}, result.status);
  if (!rows.ok()) return result;
  result.value = rows.integer(0, 0) > 0;
  if (result.value) noteChange();
  return result;
}

StoreResult<bool> PostgresStore::keepGame(const VerifiedGame& game) {
  StoreResult<bool> result;
  const std::vector<std::string> parameters = {game.id,
                                               game.name,
                                               std::to_string(game.score),
                                               std::to_string(game.time),
                                               std::to_string(game.updates),
                                               byteaText(*game.file)};
  // A second try sees the entry that another server stored during the first.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const PgResult rows = change("zl_keep_game", parameters, result.status);
    if (!rows.ok()) return result;
    result.value = rows.integer(0, 0) > 0;
    if (result.value || rows.boolean(0, 1)) break;
  }
  if (result.value) noteChange();
  return result;
}

StoreResult<bool> PostgresStore::hasGame(std::string_view id) {
  StoreResult<bool> result;
  const PgResult rows = query("zl_game_known", {std::string(id)}, result.status);
  result.value = rows.ok() && rows.rows() > 0;
  return result;
}

StoreResult<std::optional<GameRecord>> PostgresStore::game(std::string_view id) {
  StoreResult<std::optional<GameRecord>> result;
  const PgResult rows = query("zl_game_file", {std::string(id)}, result.status);
  if (!rows.ok() || rows.rows() == 0) return result;
  std::optional<std::string> file = bytesOfBytea(rows.text(0, 2));
  if (!file) {
    result.status = StoreStatus::Unavailable;
    return result;
  }
  result.value = GameRecord{std::string(rows.text(0, 0)), static_cast<std::uint32_t>(rows.integer(0, 1)), std::move(*file)};
  return result;
}

bool PostgresStore::startListening(std::string& error) {
  std::unique_ptr<PostgresConnection> connection = pool_.connectOne(deadlineFromNow(), error);
  if (!connection) return false;
  const PgResult listening = connection->run(std::string("LISTEN ") + kChangeChannel, deadlineFromNow());
  if (!listening.ok()) {
    error = listening.message();
    return false;
  }
  listener_ = std::move(connection);
  listening_.store(true, std::memory_order_release);
  // Whatever changed while nobody listened is unknown: every copy is stale.
  noteChange();
  return true;
}

void PostgresStore::pause(std::chrono::milliseconds wait) const {
  pollfd wake{wake_, POLLIN, 0};
  poll(&wake, 1, static_cast<int>(wait.count()));
}

void PostgresStore::listenerLoop() {
  while (!stopListening_) {
    if (!listener_) {
      std::string ignored;
      if (!startListening(ignored)) {
        pause(options_.retryAfterFailure);
        continue;
      }
    }
    pollfd sockets[] = {{listener_->socket(), POLLIN, 0}, {wake_, POLLIN, 0}};
    poll(sockets, 2, -1);
    if (stopListening_) break;
    if (!listener_->refresh()) {
      listening_.store(false, std::memory_order_release);
      listener_.reset();
      noteChange();
      continue;
    }
    listener_->takeNotifications([this](std::string_view payload) {
      if (payload != origin_) noteChange();
    });
  }
}

void PostgresStore::replayWatchLoop() {
  std::string replayed;
  while (!stopListening_) {
    std::string error;
    if (!listener_) listener_ = pool_.connectOne(deadlineFromNow(), error);
    const PgResult position =
        listener_ ? listener_->run("SELECT pg_last_wal_replay_lsn()::text", deadlineFromNow()) : PgResult();
    if (!position.ok()) {
      listening_.store(false, std::memory_order_release);
      listener_.reset();
      pause(options_.retryAfterFailure);
      continue;
    }
    if (position.text(0, 0) != replayed) {
      replayed = std::string(position.text(0, 0));
      noteChange();
    }
    listening_.store(true, std::memory_order_release);
    pause(options_.replayPoll);
  }
}

}  // namespace server
