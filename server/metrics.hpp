// The server's counters and its latency histogram, rendered in the Prometheus text format
// at /metrics. Every counter is a fixed slot, so counting costs no allocation and no lock.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace server {

enum class Route { GameList, GameSubmit, ApiScores, ApiRank, Page, Health, Metrics, Other };
constexpr std::size_t kRouteCount = 8;
std::string_view routeName(Route route);

enum class SubmissionResult { Stored, AlreadyStored, Invalid, RateLimited };
enum class StoreFailure { Full, Unavailable, Busy };

class Metrics {
 public:
  void countRequest(Route route, int status, std::int64_t latencyUs);
  void countSubmission(SubmissionResult result);
  void countStoreFailure(StoreFailure failure);
  void connectionOpened();
  void connectionClosed();
  void connectionRefused();  // over the connection limit

  std::string render() const;

  // Upper bounds of the latency buckets, in microseconds (the last is +Inf).
  static constexpr std::array<std::int64_t, 12> kBucketsUs = {100,   250,    500,    1000,   2500,    5000,
                                                              10000, 25000, 50000, 100000, 1000000, 10000000};
  // The statuses counted each on its own; any other is counted as "other".
  static constexpr std::array<int, 13> kStatuses = {200, 304, 400, 403, 404, 405, 408, 413, 429, 431, 500, 503, 505};

 private:
  using Counter = std::atomic<std::uint64_t>;
  std::array<std::array<Counter, kStatuses.size() + 1>, kRouteCount> requests_{};
  std::array<Counter, kBucketsUs.size() + 1> latency_{};
  Counter latencySumUs_{0};
  std::array<Counter, 4> submissions_{};
  std::array<Counter, 3> storeFailures_{};
  std::atomic<std::int64_t> openConnections_{0};
  Counter refusedConnections_{0};
};

}  // namespace server
