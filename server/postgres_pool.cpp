#include "server/postgres_pool.hpp"

namespace server {

PostgresPool::PostgresPool(std::string url, std::string setup, std::size_t size,
                           std::chrono::milliseconds retryAfterFailure)
    : url_(std::move(url)), setup_(std::move(setup)), size_(std::max<std::size_t>(size, 1)),
      retryAfterFailure_(retryAfterFailure) {}

PostgresPool::Lease::Lease(PostgresPool* pool, std::unique_ptr<PostgresConnection> connection)
    : pool_(pool), connection_(std::move(connection)) {}

PostgresPool::Lease::~Lease() {
  if (pool_ != nullptr && connection_) pool_->giveBack(std::move(connection_));
}

PostgresPool::Lease& PostgresPool::Lease::operator=(Lease&& other) noexcept {
  if (this != &other) {
    if (pool_ != nullptr && connection_) pool_->giveBack(std::move(connection_));
    pool_ = other.pool_;
    connection_ = std::move(other.connection_);
    other.pool_ = nullptr;
  }
  return *this;
}

std::unique_ptr<PostgresConnection> PostgresPool::connectOne(Deadline deadline, std::string& error) {
  std::unique_ptr<PostgresConnection> connection = PostgresConnection::connect(url_, deadline, error);
  if (!connection) return nullptr;
  const PgResult ready = connection->run(setup_, deadline);
  if (!ready.ok()) {
    error = ready.message();
    return nullptr;
  }
  return connection;
}

PostgresPool::Lease PostgresPool::acquire(Deadline deadline, StoreStatus& status, std::string& error) {
  std::unique_lock lock(mutex_);
  for (;;) {
    while (!idle_.empty()) {
      std::unique_ptr<PostgresConnection> connection = std::move(idle_.back());
      idle_.pop_back();
      // An idle connection may have been closed by a database that stopped or restarted.
      if (connection->refresh()) return Lease(this, std::move(connection));
      --open_;
    }
    if (std::chrono::steady_clock::now() < downUntil_) {
      status = StoreStatus::Unavailable;
      error = lastError_;
      return {};
    }
    if (open_ < size_) break;
    if (returned_.wait_until(lock, deadline) == std::cv_status::timeout && idle_.empty()) {
      status = StoreStatus::Busy;
      error = "every database connection is in use";
      return {};
    }
  }
  ++open_;
  lock.unlock();
  std::unique_ptr<PostgresConnection> connection = connectOne(deadline, error);
  lock.lock();
  if (!connection) {
    --open_;
    downUntil_ = std::chrono::steady_clock::now() + retryAfterFailure_;
    lastError_ = error;
    status = StoreStatus::Unavailable;
    returned_.notify_all();
    return {};
  }
  return Lease(this, std::move(connection));
}

void PostgresPool::giveBack(std::unique_ptr<PostgresConnection> connection) {
  {
    std::lock_guard lock(mutex_);
    if (connection->usable()) {
      idle_.push_back(std::move(connection));
    } else {
      --open_;
    }
  }
  returned_.notify_one();
}

}  // namespace server
