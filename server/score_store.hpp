// The store of the score server behind an interface: an SQLite file, or a PostgreSQL database
// that several server processes share. Every submission ever accepted is kept with its time
// (append-only), and so is the record of every game the server verified, beside the entry
// of its name and score; the boards are views over them, without the hidden entries and
// without every entry of a banned name. Failures come back as values, never as exceptions,
// so the HTTP layer can answer 503 for a full disk or a store that is down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/ranking.hpp"
#include "server/utc_time.hpp"

namespace server {

enum class StoreStatus {
  Ok,
  NotFound,     // moderation of an id that does not exist
  Full,         // the disk or the database's size limit is full: nothing was stored
  Unavailable,  // the store failed or is closing
  Busy,         // too much work queued already: try again
};
std::string_view describe(StoreStatus status);

template <class T>
struct StoreResult {
  StoreStatus status = StoreStatus::Ok;
  T value{};
  bool ok() const { return status == StoreStatus::Ok; }
};

struct Submission {
  std::string name;  // valid UTF-8, checked by the caller
  std::uint32_t score = 0;
  UnixTime time = 0;
};

enum class SubmitOutcome {
  Stored,         // durable on disk
  AlreadyStored,  // the pair was stored before (hidden, or of a banned name, included)
  Refused,        // not yet stored, and the admission said no (the rate limit)
  Full,
  Unavailable,
  Busy,
};

// Asked once for a pair that is not stored yet, just before it is stored; false leaves it out
// (Refused). A resubmitted pair never asks, so it never costs a token of the rate limit.
using AdmitNew = std::function<bool()>;
// Called exactly once, from the store's own thread or from the caller's, after the commit
// that holds the row (Stored) has returned.
using SubmitDone = std::function<void(SubmitOutcome)>;

// A board's window and the rows asked for.
struct BoardQuery {
  std::optional<UnixTime> from;  // entries made at or after it; all of them without it
  std::uint64_t offset = 0;
  std::size_t limit = 100;
  bool countTotal = false;    // fill in BoardPage::total
  bool verifiedOnly = false;  // only entries with a verified game, ranked among themselves
};

struct BoardPage {
  std::vector<RankedEntry> entries;
  std::uint64_t total = 0;  // visible entries of the board; 0 when not asked for
};

struct RankView {
  RankedEntry entry;                // the name's best entry on the board
  std::vector<RankedEntry> above;   // up to `neighbours` entries just before it, best first
  std::vector<RankedEntry> below;   // up to `neighbours` entries just after it
};

struct SubmissionRecord {
  std::int64_t id = 0;
  std::string name;
  std::uint32_t score = 0;
  UnixTime time = 0;
  bool hidden = false;
  bool banned = false;  // the name is banned
  bool verified = false;  // a verified game is kept with it
};

// A game the server played again and found to be what it claims.
struct VerifiedGame {
  std::string id;  // gameIdOf(file)
  std::string name;  // the name and score it ends with, checked as a submission's
  std::uint32_t score = 0;
  UnixTime time = 0;  // of the verification; the entry's time when it is stored with it
  std::shared_ptr<const std::string> file;  // the replay's bytes
  std::uint64_t updates = 0;  // updates played
};

// A kept game for its download.
struct GameRecord {
  std::string name;
  std::uint32_t score = 0;
  std::string file;
};

struct AuditRecord {
  std::int64_t id = 0;
  UnixTime time = 0;
  std::string action;   // "hide", "unhide", "ban", "unban"
  std::string subject;  // the submission's id, or the name
  std::string actor;    // who ran the command
};

class ScoreStore {
 public:
  virtual ~ScoreStore() = default;

  // Stores the pair unless it is stored already. Asynchronous: entries arriving together
  // share one commit.
  virtual void submit(Submission submission, AdmitNew admit, SubmitDone done) = 0;

  // The query's visible entries, ranked; `limit` rows from `offset` on. Each row names its
  // verified game, if it has one.
  virtual StoreResult<BoardPage> board(const BoardQuery& query) = 0;
  // The best visible entry of `name` in the same window with its neighbours; an empty value
  // when the name has none there.
  virtual StoreResult<std::optional<RankView>> rankOf(std::string_view name, std::optional<UnixTime> from,
                                                      std::size_t neighbours) = 0;

  // Keeps a verified game with the entry of its name and score, storing the entry first (at
  // game.time) when there is none: the game proves it. Synchronous and durable when it
  // returns. value: true when kept now, false when a game of the same ID was kept before.
  virtual StoreResult<bool> keepGame(const VerifiedGame& game) = 0;
  // Whether a game of this ID is kept.
  virtual StoreResult<bool> hasGame(std::string_view id) = 0;
  // A kept game whose entry is visible; empty when there is none, when its entry is hidden
  // or when its name is banned.
  virtual StoreResult<std::optional<GameRecord>> game(std::string_view id) = 0;

  // Changes with every stored submission, every kept game and every moderation action, those
  // of other processes on the same database included (noticed within about a second). Cheap:
  // call it on every request.
  virtual std::uint64_t version() = 0;
  // Ok while the store can answer.
  virtual StoreStatus health() = 0;

  // Moderation. Each action that changes something is written to the audit table with its
  // time and actor in the same transaction. value: whether anything changed.
  virtual StoreResult<std::vector<SubmissionRecord>> recent(std::size_t limit) = 0;
  virtual StoreResult<bool> setHidden(std::int64_t id, bool hidden, std::string_view actor, UnixTime time) = 0;
  virtual StoreResult<bool> setBanned(std::string_view name, bool banned, std::string_view actor, UnixTime time) = 0;
  virtual StoreResult<std::vector<AuditRecord>> audit(std::size_t limit) = 0;

  // Finishes the queued submissions and stops taking new ones (they get Unavailable).
  virtual void close() = 0;
};

}  // namespace server
