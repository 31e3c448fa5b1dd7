#include "server/metrics.hpp"

#include <algorithm>

namespace server {
namespace {

constexpr std::string_view kSubmissionResults[] = {"stored", "already_stored", "invalid", "rate_limited"};
constexpr std::string_view kStoreFailures[] = {"full", "unavailable", "busy"};

std::string seconds(std::int64_t microseconds) {
  std::string text = std::to_string(microseconds / 1000000) + ".";
  const std::string fraction = std::to_string(1000000 + microseconds % 1000000).substr(1);
  return text + fraction;
}

}  // namespace

std::string_view routeName(Route route) {
  switch (route) {
    case Route::GameList: return "game_list";
    case Route::GameSubmit: return "game_submit";
    case Route::ApiScores: return "api_scores";
    case Route::ApiRank: return "api_rank";
    case Route::Page: return "page";
    case Route::Health: return "healthz";
    case Route::Metrics: return "metrics";
    case Route::Other: return "other";
  }
  return "other";
}

void Metrics::countRequest(Route route, int status, std::int64_t latencyUs) {
  const auto known = std::find(kStatuses.begin(), kStatuses.end(), status);
  requests_[static_cast<std::size_t>(route)][static_cast<std::size_t>(known - kStatuses.begin())].fetch_add(
      1, std::memory_order_relaxed);
  const auto bucket = std::lower_bound(kBucketsUs.begin(), kBucketsUs.end(), latencyUs);
  latency_[static_cast<std::size_t>(bucket - kBucketsUs.begin())].fetch_add(1, std::memory_order_relaxed);
  latencySumUs_.fetch_add(static_cast<std::uint64_t>(std::max<std::int64_t>(latencyUs, 0)), std::memory_order_relaxed);
}

void Metrics::countSubmission(SubmissionResult result) {
  submissions_[static_cast<std::size_t>(result)].fetch_add(1, std::memory_order_relaxed);
}

void Metrics::countStoreFailure(StoreFailure failure) {
  storeFailures_[static_cast<std::size_t>(failure)].fetch_add(1, std::memory_order_relaxed);
}

void Metrics::connectionOpened() { openConnections_.fetch_add(1, std::memory_order_relaxed); }
void Metrics::connectionClosed() { openConnections_.fetch_sub(1, std::memory_order_relaxed); }
void Metrics::connectionRefused() { refusedConnections_.fetch_add(1, std::memory_order_relaxed); }

std::string Metrics::render() const {
  std::string out;
  out += "# HELP zebrolite_http_requests_total HTTP requests answered, by route and status.\n";
  out += "# TYPE zebrolite_http_requests_total counter\n";
  for (std::size_t r = 0; r < kRouteCount; ++r) {
    for (std::size_t s = 0; s <= kStatuses.size(); ++s) {
      const std::uint64_t count = requests_[r][s].load(std::memory_order_relaxed);
      if (count == 0) continue;
      out += "zebrolite_http_requests_total{route=\"";
      out += routeName(static_cast<Route>(r));
      out += "\",status=\"";
      out += s < kStatuses.size() ? std::to_string(kStatuses[s]) : std::string("other");
      out += "\"} " + std::to_string(count) + "\n";
    }
  }
  out += "# HELP zebrolite_http_request_duration_seconds Time from a complete request to its answer.\n";
  out += "# TYPE zebrolite_http_request_duration_seconds histogram\n";
  std::uint64_t cumulative = 0;
  for (std::size_t b = 0; b <= kBucketsUs.size(); ++b) {
    cumulative += latency_[b].load(std::memory_order_relaxed);
    out += "zebrolite_http_request_duration_seconds_bucket{le=\"";
    out += b < kBucketsUs.size() ? seconds(kBucketsUs[b]) : std::string("+Inf");
    out += "\"} " + std::to_string(cumulative) + "\n";
  }
  out += "zebrolite_http_request_duration_seconds_sum " +
         seconds(static_cast<std::int64_t>(latencySumUs_.load(std::memory_order_relaxed))) + "\n";
  out += "zebrolite_http_request_duration_seconds_count " + std::to_string(cumulative) + "\n";
  out += "# HELP zebrolite_submissions_total Submissions of the game's protocol, by result.\n";
  out += "# TYPE zebrolite_submissions_total counter\n";
  for (std::size_t i = 0; i < submissions_.size(); ++i) {
    out += "zebrolite_submissions_total{result=\"" + std::string(kSubmissionResults[i]) + "\"} " +
           std::to_string(submissions_[i].load(std::memory_order_relaxed)) + "\n";
  }
  out += "# HELP zebrolite_store_errors_total Store work that failed, by kind.\n";
  out += "# TYPE zebrolite_store_errors_total counter\n";
  for (std::size_t i = 0; i < storeFailures_.size(); ++i) {
    out += "zebrolite_store_errors_total{kind=\"" + std::string(kStoreFailures[i]) + "\"} " +
           std::to_string(storeFailures_[i].load(std::memory_order_relaxed)) + "\n";
  }
  out += "# HELP zebrolite_open_connections Connections open now.\n";
  out += "# TYPE zebrolite_open_connections gauge\n";
  out += "zebrolite_open_connections " + std::to_string(openConnections_.load(std::memory_order_relaxed)) + "\n";
  out += "# HELP zebrolite_refused_connections_total Connections closed at once: over the connection limit.\n";
  out += "# TYPE zebrolite_refused_connections_total counter\n";
  out += "zebrolite_refused_connections_total " + std::to_string(refusedConnections_.load(std::memory_order_relaxed)) +
         "\n";
  return out;
}

}  // namespace server
