#include "server/postgres_connection.hpp"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace server {
namespace {

// libpq's own time-outs, beneath the deadlines: a TCP peer that vanishes is noticed by the
// kernel within a few seconds even while no statement runs.
constexpr const char* kConnectKeys[] = {"connect_timeout",  "keepalives",        "keepalives_idle",
                                        "keepalives_interval", "keepalives_count", "tcp_user_timeout",
                                        "application_name", "dbname",            nullptr};
constexpr const char* kConnectDefaults[] = {"2", "1", "5", "2", "2", "3000", "zebrolite-scored"};

// libpq's messages end in a newline and may run over several lines.
std::string oneLine(const char* text) {
  std::string line;
  for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
    const bool blank = *c == '\n' || *c == '\t' || *c == '\r';
    if (blank && (line.empty() || line.back() == ' ')) continue;
    line += blank ? ' ' : *c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

int millisecondsUntil(Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<std::int64_t>(left.count() + 1, 0, 60000));
}

bool waitOn(int socket, short events, Deadline deadline) {
  if (socket < 0) return false;
  for (;;) {
    const int wait = millisecondsUntil(deadline);
    if (wait <= 0) return false;
    pollfd descriptor{socket, events, 0};
    const int rc = poll(&descriptor, 1, wait);
    if (rc > 0) return true;
    if (rc < 0 && errno != EINTR) return false;
    if (rc == 0 && std::chrono::steady_clock::now() >= deadline) return false;
  }
}

void appendQuoted(std::string& out, std::string_view value) {
  out += '"';
  for (const char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

}  // namespace

PgResult::PgResult(pg_result* result) : result_(result) {}

PgResult PgResult::failure(std::string message) {
  PgResult result;
  result.error_ = std::move(message);
  return result;
}

PgResult::~PgResult() {
  if (result_ != nullptr) PQclear(result_);
}

PgResult::PgResult(PgResult&& other) noexcept : result_(other.result_), error_(std::move(other.error_)) {
  other.result_ = nullptr;
}

PgResult& PgResult::operator=(PgResult&& other) noexcept {
  if (this != &other) {
    if (result_ != nullptr) PQclear(result_);
    result_ = other.result_;
    error_ = std::move(other.error_);
    other.result_ = nullptr;
  }
  return *this;
}

bool PgResult::ok() const {
  if (result_ == nullptr) return false;
  const ExecStatusType status = PQresultStatus(result_);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

int PgResult::rows() const { return ok() ? PQntuples(result_) : 0; }

std::string_view PgResult::text(int row, int column) const {
  if (!ok() || row >= PQntuples(result_) || column >= PQnfields(result_)) return {};
  return {PQgetvalue(result_, row, column), static_cast<std::size_t>(PQgetlength(result_, row, column))};
}

std::int64_t PgResult::integer(int row, int column) const {
  const std::string_view value = text(row, column);
  std::int64_t number = 0;
  std::from_chars(value.data(), value.data() + value.size(), number);
  return number;
}

std::string PgResult::sqlState() const {
  if (result_ == nullptr) return {};
  const char* state = PQresultErrorField(result_, PG_DIAG_SQLSTATE);
  return state != nullptr ? state : "";
}

std::string PgResult::message() const {
  if (result_ == nullptr) return error_.empty() ? "no reply" : error_;
  return oneLine(PQresultErrorMessage(result_));
}

std::unique_ptr<PostgresConnection> PostgresConnection::connect(const std::string& url, Deadline deadline,
                                                                std::string& error) {
  const char* values[std::size(kConnectKeys)] = {};
  std::copy(std::begin(kConnectDefaults), std::end(kConnectDefaults), values);
  // Last, so that what the URL says wins over the defaults before it.
  values[std::size(kConnectDefaults)] = url.c_str();
  pg_conn* connection = PQconnectStartParams(kConnectKeys, values, 1);
  if (connection == nullptr) {
    error = "out of memory";
    return nullptr;
  }
  std::unique_ptr<PostgresConnection> result(new PostgresConnection(connection));
  if (PQstatus(connection) == CONNECTION_BAD) {
    error = oneLine(PQerrorMessage(connection));
    return nullptr;
  }
  PostgresPollingStatusType polling = PGRES_POLLING_WRITING;
  while (polling != PGRES_POLLING_OK) {
    if (polling == PGRES_POLLING_FAILED) {
      error = oneLine(PQerrorMessage(connection));
      return nullptr;
    }
    if (!waitOn(PQsocket(connection), polling == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline)) {
      error = "timed out connecting";
      return nullptr;
    }
    polling = PQconnectPoll(connection);
  }
  // Notices (such as "already exists, skipping") are no one's business on standard error.
  PQsetNoticeProcessor(connection, [](void*, const char*) {}, nullptr);
  if (PQsetnonblocking(connection, 1) != 0) {
    error = oneLine(PQerrorMessage(connection));
    return nullptr;
  }
  return result;
}

PostgresConnection::~PostgresConnection() { PQfinish(connection_); }

bool PostgresConnection::usable() const { return !broken_ && PQstatus(connection_) == CONNECTION_OK; }

int PostgresConnection::socket() const { return PQsocket(connection_); }

bool PostgresConnection::waitFor(short events, Deadline deadline) const { return waitOn(socket(), events, deadline); }

bool PostgresConnection::refresh() {
  pollfd descriptor{socket(), POLLIN, 0};
  if (descriptor.fd < 0) broken_ = true;
  if (!broken_ && poll(&descriptor, 1, 0) > 0 && PQconsumeInput(connection_) == 0) broken_ = true;
  return usable();
}

void PostgresConnection::takeNotifications(const std::function<void(std::string_view payload)>& take) {
  while (PGnotify* notification = PQnotifies(connection_)) {
    take(notification->extra != nullptr ? notification->extra : "");
    PQfreemem(notification);
  }
}

PgResult PostgresConnection::finish(bool sent, Deadline deadline) {
  if (!sent) {
    broken_ = PQstatus(connection_) != CONNECTION_OK;
    return PgResult::failure(oneLine(PQerrorMessage(connection_)));
  }
  for (;;) {
    const int flushed = PQflush(connection_);
    if (flushed == 0) break;
    if (flushed < 0 || !waitFor(POLLIN | POLLOUT, deadline) || PQconsumeInput(connection_) == 0) {
      broken_ = true;
      return PgResult::failure(flushed < 0 ? oneLine(PQerrorMessage(connection_)) : "timed out sending a statement");
    }
  }
  PgResult kept = PgResult::failure("no reply");
  bool failed = false;
  for (;;) {
    while (PQisBusy(connection_) != 0) {
      if (!waitFor(POLLIN, deadline)) {
        // The statement may still run on the server (its statement_timeout ends it); this
        // connection is in an unknown state and is never used again.
        broken_ = true;
        return PgResult::failure("timed out waiting for the database");
      }
      if (PQconsumeInput(connection_) == 0) {
        broken_ = true;
        return PgResult::failure(oneLine(PQerrorMessage(connection_)));
      }
    }
    pg_result* next = PQgetResult(connection_);
    if (next == nullptr) break;
    PgResult result(next);
    // The first failure is the one to report; later results follow from it.
    if (!failed) {
      failed = !result.ok();
      kept = std::move(result);
    }
  }
  if (PQstatus(connection_) != CONNECTION_OK) broken_ = true;
  return kept;
}

PgResult PostgresConnection::run(const std::string& sql, Deadline deadline) {
  if (broken_) return PgResult::failure("connection lost");
  return finish(PQsendQuery(connection_, sql.c_str()) == 1, deadline);
}

namespace {

std::vector<const char*> pointersTo(const std::vector<std::string>& parameters) {
  std::vector<const char*> pointers;
  pointers.reserve(parameters.size());
  for (const std::string& parameter : parameters) pointers.push_back(parameter.c_str());
  return pointers;
}

}  // namespace

PgResult PostgresConnection::run(const std::string& sql, const std::vector<std::string>& parameters,
                                 Deadline deadline) {
  if (broken_) return PgResult::failure("connection lost");
  const std::vector<const char*> values = pointersTo(parameters);
  return finish(PQsendQueryParams(connection_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                  nullptr, nullptr, 0) == 1,
                deadline);
}

PgResult PostgresConnection::runPrepared(const char* name, const std::vector<std::string>& parameters,
                                         Deadline deadline) {
  if (broken_) return PgResult::failure("connection lost");
  const std::vector<const char*> values = pointersTo(parameters);
  return finish(
      PQsendQueryPrepared(connection_, name, static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0) == 1,
      deadline);
}

std::string textArray(const std::vector<std::string_view>& values) {
  std::string out = "{";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ',';
    appendQuoted(out, values[i]);
  }
  return out + "}";
}

std::string integerArray(const std::vector<std::int64_t>& values) {
  std::string out = "{";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ',';
    out += std::to_string(values[i]);
  }
  return out + "}";
}

}  // namespace server
