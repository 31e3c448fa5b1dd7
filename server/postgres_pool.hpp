// A bounded pool of PostgreSQL connections, each set up the same way when it is made (its
// session settings and every prepared statement). A connection that broke is dropped and a
// new one made on demand, so the pool reconnects by itself when the database comes back;
// after a failed connection attempt, requests fail at once for a short while instead of each
// waiting for its own attempt.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/postgres_connection.hpp"
#include "server/score_store.hpp"

namespace server {

class PostgresPool {
 public:
  // `setup` runs on every new connection (SET and PREPARE statements).
  PostgresPool(std::string url, std::string setup, std::size_t size, std::chrono::milliseconds retryAfterFailure);

  // A connection borrowed for one piece of work; returned to the pool when it goes, unless it
  // broke meanwhile.
  class Lease {
   public:
    Lease() = default;
    Lease(PostgresPool* pool, std::unique_ptr<PostgresConnection> connection);
    ~Lease();
    Lease(Lease&& other) noexcept = default;
    Lease& operator=(Lease&& other) noexcept;
    Lease(const Lease&) = delete;
    explicit operator bool() const { return connection_ != nullptr; }
    PostgresConnection* operator->() const { return connection_.get(); }
    PostgresConnection& operator*() const { return *connection_; }

   private:
    PostgresPool* pool_ = nullptr;
    std::unique_ptr<PostgresConnection> connection_;
  };

  // A connection before the deadline: an idle one, else a new one while the pool has room.
  // Empty when none could be had: `status` says why (Busy: every connection stayed in use;
  // Unavailable: the database cannot be reached) and `error` tells more.
  Lease acquire(Deadline deadline, StoreStatus& status, std::string& error);

  // Makes and sets up a connection outside the pool (the listener's, the migration's).
  std::unique_ptr<PostgresConnection> connectOne(Deadline deadline, std::string& error);

 private:
  void giveBack(std::unique_ptr<PostgresConnection> connection);

  const std::string url_;
  const std::string setup_;
  const std::size_t size_;
  const std::chrono::milliseconds retryAfterFailure_;

  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<std::unique_ptr<PostgresConnection>> idle_;
  std::size_t open_ = 0;  // idle and leased
  std::chrono::steady_clock::time_point downUntil_{};
  std::string lastError_;
};

}  // namespace server
