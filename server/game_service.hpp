// POST /api/v1/games: a replay of a finished game, judged by the game's own code off the I/O
// threads and, when verified, kept with the entry of its name and score. What can be told
// from the header alone (a damaged file, another rules version, a name or score the server
// never keeps) is answered on the request thread; the rest waits in the verification pool.
// The request waits for the verdict for at most the pool's wait, then is answered "queued"
// and the verdict is kept when it comes.
//
// Answers, one line of text/plain each (docs/replays.md): 200 "verified ID PATH", 202
// "queued ID", 400, 413 or 422 "refused: REASON", 409 "known ID", 429 or 503 "busy: REASON".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "server/http_message.hpp"
#include "server/metrics.hpp"
#include "server/rate_limiter.hpp"
#include "server/score_store.hpp"
#include "server/utc_time.hpp"
#include "server/verification_pool.hpp"

namespace server {

class GameService {
 public:
  struct Config {
    // Replays a minute per address that go to the verifiers (a bucket of their own, apart
    // from the submissions'); 0: no limit.
    std::uint32_t postRate = 30;
    std::size_t maxRateBuckets = 65536;
  };

  // steadyMs: a monotonic clock in milliseconds, for the rate limit.
  GameService(ScoreStore& store, VerificationPool& pool, Metrics& metrics, Config config, Clock clock,
              std::function<std::int64_t()> steadyMs);

  // The request's body is the replay; `address` is what the rate limit counts it against.
  void post(const HttpRequest& request, const std::string& address, ReplyHandler reply);

 private:
  // On a worker: known, or judged and kept.
  HttpReply verify(const std::string& id, const std::shared_ptr<const std::string>& file, const Judge& judge);
  HttpReply refused(GameOutcome outcome, int status, const std::string& reason);
  HttpReply busy(GameOutcome outcome, int status, const std::string& reason);
  HttpReply storeFailed(StoreStatus status);

  ScoreStore& store_;
  VerificationPool& pool_;
  Metrics& metrics_;
  Config config_;
  Clock clock_;
  std::function<std::int64_t()> steadyMs_;
  RateLimiter limiter_;
};

}  // namespace server
