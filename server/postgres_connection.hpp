// One connection to PostgreSQL over libpq, always used with a deadline: connecting and every
// statement go through libpq's non-blocking calls and give up when the deadline passes. A
// connection that timed out or lost its server is marked broken and must be dropped, so a
// database that stops or hangs turns requests into errors instead of stuck threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace server {

using Deadline = std::chrono::steady_clock::time_point;

// The outcome of one statement: its rows (as text), or why it failed.
class PgResult {
 public:
  PgResult() = default;
  explicit PgResult(pg_result* result);
  static PgResult failure(std::string message);
  ~PgResult();
  PgResult(PgResult&& other) noexcept;
  PgResult& operator=(PgResult&& other) noexcept;
  PgResult(const PgResult&) = delete;
  PgResult& operator=(const PgResult&) = delete;

  bool ok() const;
  int rows() const;
  std::string_view text(int row, int column) const;
  std::int64_t integer(int row, int column) const;
  bool boolean(int row, int column) const { return text(row, column) == "t"; }
  // The SQLSTATE of a failed statement ("53100" for a full disk); empty without a reply.
  std::string sqlState() const;
  std::string message() const;

 private:
  pg_result* result_ = nullptr;
  std::string error_;  // when no result came back at all
};

class PostgresConnection {
 public:
  // Connects to `url` (a postgresql:// or postgres:// URL, or a libpq connection string)
  // before the deadline; null with a one-line reason otherwise.
  static std::unique_ptr<PostgresConnection> connect(const std::string& url, Deadline deadline, std::string& error);
  ~PostgresConnection();
  PostgresConnection(const PostgresConnection&) = delete;
  PostgresConnection& operator=(const PostgresConnection&) = delete;

  // One or more statements without parameters (the simple protocol); the last result.
  PgResult run(const std::string& sql, Deadline deadline);
  // A statement with text parameters, unnamed or prepared before under `name`.
  PgResult run(const std::string& sql, const std::vector<std::string>& parameters, Deadline deadline);
  PgResult runPrepared(const char* name, const std::vector<std::string>& parameters, Deadline deadline);

  // False once the connection timed out or lost its server: drop it.
  bool usable() const;
  // Reads whatever the server sent while the connection was idle (a notice that it is
  // shutting down, notifications); false when the connection turns out to be lost.
  bool refresh();
  // Hands each pending notification's payload to `take`.
  void takeNotifications(const std::function<void(std::string_view payload)>& take);
  // The socket, to wait on for notifications.
  int socket() const;

 private:
  explicit PostgresConnection(pg_conn* connection) : connection_(connection) {}
  // Waits until the socket is ready for `events` (poll's), at most until the deadline.
  bool waitFor(short events, Deadline deadline) const;
  // Sends what is queued and collects the statement's results.
  PgResult finish(bool sent, Deadline deadline);

  pg_conn* connection_;
  bool broken_ = false;
};

// {"a","b\"c"}: a PostgreSQL array literal of the texts, for unnest() over a batch.
std::string textArray(const std::vector<std::string_view>& values);
std::string integerArray(const std::vector<std::int64_t>& values);

}  // namespace server
