#include "server/metrics.hpp"

#include <algorithm>

namespace server {
namespace {

constexpr std::string_view kSubmissionResults[] = {"stored", "already_stored", "invalid", "rate_limited"};
constexpr std::string_view kStoreFailures[] = {"full", "unavailable", "busy"};
constexpr std::string_view kGameOutcomes[] = {
    "verified", "malformed", "too_large",   "other_rules", "too_long", "test_key", "no_end",      "saved_differs",
    "score_differs", "not_ready", "name_refused", "known", "rate_limited", "busy", "store_failed"};
static_assert(std::size(kGameOutcomes) == kGameOutcomeCount);

std::string seconds(std::int64_t microseconds) {
  std::string text = std::to_string(microseconds / 1000000) + ".";
  const std::string fraction = std::to_string(1000000 + microseconds % 1000000).substr(1);
  return text + fraction;
}

void header(std::string& out, std::string_view name, std::string_view help, std::string_view type) {
  out += "# HELP ";
  out += name;
  out += ' ';
  out += help;
  out += "\n# TYPE ";
  out += name;
  out += ' ';
  out += type;
  out += '\n';
}

}  // namespace

template <std::size_t N>
void Histogram<N>::observe(std::int64_t us) {
  const auto bucket = std::lower_bound(boundsUs_.begin(), boundsUs_.end(), us);
  counts_[static_cast<std::size_t>(bucket - boundsUs_.begin())].fetch_add(1, std::memory_order_relaxed);
  sumUs_.fetch_add(static_cast<std::uint64_t>(std::max<std::int64_t>(us, 0)), std::memory_order_relaxed);
}

template <std::size_t N>
void Histogram<N>::render(std::string& out, std::string_view name, std::string_view help) const {
  header(out, name, help, "histogram");
  const std::string prefix(name);
  std::uint64_t cumulative = 0;
  for (std::size_t b = 0; b <= N; ++b) {
    cumulative += counts_[b].load(std::memory_order_relaxed);
    out += prefix + "_bucket{le=\"" + (b < N ? seconds(boundsUs_[b]) : std::string("+Inf")) + "\"} " +
           std::to_string(cumulative) + "\n";
  }
  out += prefix + "_sum " + seconds(static_cast<std::int64_t>(sumUs_.load(std::memory_order_relaxed))) + "\n";
  out += prefix + "_count " + std::to_string(cumulative) + "\n";
}

std::string_view routeName(Route route) {
  switch (route) {
    case Route::GameList: return "game_list";
    case Route::GameSubmit: return "game_submit";
    case Route::ApiScores: return "api_scores";
    case Route::ApiRank: return "api_rank";
    case Route::Page: return "page";
    case Route::Health: return "healthz";
    case Route::Metrics: return "metrics";
    case Route::GamePost: return "game_post";
    case Route::GameReplay: return "game_replay";
    case Route::Other: return "other";
  }
  return "other";
}

std::string_view gameOutcomeName(GameOutcome outcome) { return kGameOutcomes[static_cast<std::size_t>(outcome)]; }

void Metrics::countRequest(Route route, int status, std::int64_t latencyUs) {
  const auto known = std::find(kStatuses.begin(), kStatuses.end(), status);
  requests_[static_cast<std::size_t>(route)][static_cast<std::size_t>(known - kStatuses.begin())].fetch_add(
      1, std::memory_order_relaxed);
  latency_.observe(latencyUs);
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

void Metrics::countGame(GameOutcome outcome) {
  games_[static_cast<std::size_t>(outcome)].fetch_add(1, std::memory_order_relaxed);
}

void Metrics::verificationQueued() { verificationsWaiting_.fetch_add(1, std::memory_order_relaxed); }
void Metrics::verificationLeftQueue() { verificationsWaiting_.fetch_sub(1, std::memory_order_relaxed); }
void Metrics::verificationTime(std::int64_t us) { verificationTime_.observe(us); }

std::string Metrics::render() const {
  std::string out;
  header(out, "zebrolite_http_requests_total", "HTTP requests answered, by route and status.", "counter");
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
  latency_.render(out, "zebrolite_http_request_duration_seconds", "Time from a complete request to its answer.");
  header(out, "zebrolite_submissions_total", "Submissions of the game's protocol, by result.", "counter");
  for (std::size_t i = 0; i < submissions_.size(); ++i) {
    out += "zebrolite_submissions_total{result=\"" + std::string(kSubmissionResults[i]) + "\"} " +
           std::to_string(submissions_[i].load(std::memory_order_relaxed)) + "\n";
  }
  header(out, "zebrolite_store_errors_total", "Store work that failed, by kind.", "counter");
  for (std::size_t i = 0; i < storeFailures_.size(); ++i) {
    out += "zebrolite_store_errors_total{kind=\"" + std::string(kStoreFailures[i]) + "\"} " +
           std::to_string(storeFailures_[i].load(std::memory_order_relaxed)) + "\n";
  }
  header(out, "zebrolite_open_connections", "Connections open now.", "gauge");
  out += "zebrolite_open_connections " + std::to_string(openConnections_.load(std::memory_order_relaxed)) + "\n";
  header(out, "zebrolite_refused_connections_total", "Connections closed at once: over the connection limit.", "counter");
  out += "zebrolite_refused_connections_total " + std::to_string(refusedConnections_.load(std::memory_order_relaxed)) +
         "\n";
  header(out, "zebrolite_verifications_total", "Replays posted, by outcome.", "counter");
  for (std::size_t i = 0; i < games_.size(); ++i) {
    out += "zebrolite_verifications_total{outcome=\"" + std::string(kGameOutcomes[i]) + "\"} " +
           std::to_string(games_[i].load(std::memory_order_relaxed)) + "\n";
  }
  header(out, "zebrolite_verification_queue_depth", "Verifications waiting for a worker.", "gauge");
  out += "zebrolite_verification_queue_depth " +
         std::to_string(verificationsWaiting_.load(std::memory_order_relaxed)) + "\n";
  verificationTime_.render(out, "zebrolite_verification_duration_seconds", "Time a worker took to play a replay again.");
  return out;
}

}  // namespace server
