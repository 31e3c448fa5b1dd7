// The server's counters and its histograms, rendered in the Prometheus text format at
// /metrics. Every counter is a fixed slot, so counting costs no allocation and no lock.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace server {

enum class Route { GameList, GameSubmit, ApiScores, ApiRank, Page, Health, Metrics, GamePost, GameReplay, Other };
constexpr std::size_t kRouteCount = 10;
std::string_view routeName(Route route);

enum class SubmissionResult { Stored, AlreadyStored, Invalid, RateLimited };
enum class StoreFailure { Full, Unavailable, Busy };

// What became of a replay posted to the server: the verifier's verdicts, and the answers
// given without one.
enum class GameOutcome {
  Verified,
  Malformed,
  TooLarge,
  OtherRules,
  TooLong,
  TestKey,
  NoEnd,
  SavedDiffers,
  ScoreDiffers,
  NotReady,     // the verifier has no level map
  NameRefused,  // a name or score the server never keeps
  Known,        // kept before: not verified again
  RateLimited,
  Busy,         // the verification queue was full
  StoreFailed,  // verified, but the store could not keep it
};
constexpr std::size_t kGameOutcomeCount = 15;
std::string_view gameOutcomeName(GameOutcome outcome);

// A histogram of durations over fixed buckets, in microseconds.
template <std::size_t N>
class Histogram {
 public:
  explicit Histogram(const std::array<std::int64_t, N>& boundsUs) : boundsUs_(boundsUs) {}
  void observe(std::int64_t us);
  // The _bucket, _sum and _count lines, in seconds, after a HELP and a TYPE line.
  void render(std::string& out, std::string_view name, std::string_view help) const;

 private:
  std::array<std::int64_t, N> boundsUs_;  // upper bounds; the last bucket is +Inf
  std::array<std::atomic<std::uint64_t>, N + 1> counts_{};
  std::atomic<std::uint64_t> sumUs_{0};
};

class Metrics {
 public:
  void countRequest(Route route, int status, std::int64_t latencyUs);
  void countSubmission(SubmissionResult result);
  void countStoreFailure(StoreFailure failure);
  void connectionOpened();
  void connectionClosed();
  void connectionRefused();  // over the connection limit
  void countGame(GameOutcome outcome);
  // A verification queued, then taken up by a worker (or refused): the depth between the two.
  void verificationQueued();
  void verificationLeftQueue();
  void verificationTime(std::int64_t us);

  std::string render() const;

  // The statuses counted each on its own; any other is counted as "other".
  static constexpr std::array<int, 17> kStatuses = {200, 202, 304, 400, 403, 404, 405, 408, 409,
                                                    411, 413, 422, 429, 431, 500, 503, 505};

 private:
  using Counter = std::atomic<std::uint64_t>;
  std::array<std::array<Counter, kStatuses.size() + 1>, kRouteCount> requests_{};
  Histogram<12> latency_{{100, 250, 500, 1000, 2500, 5000, 10000, 25000, 50000, 100000, 1000000, 10000000}};
  std::array<Counter, 4> submissions_{};
  std::array<Counter, 3> storeFailures_{};
  std::atomic<std::int64_t> openConnections_{0};
  Counter refusedConnections_{0};
  std::array<Counter, kGameOutcomeCount> games_{};
  std::atomic<std::int64_t> verificationsWaiting_{0};
  Histogram<10> verificationTime_{{1000, 5000, 10000, 25000, 50000, 100000, 250000, 500000, 1000000, 2500000}};
};

}  // namespace server
