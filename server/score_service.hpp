// Everything the server answers, without sockets: the game's protocol, the replays of games
// (posted for verification, downloaded), the JSON API, /healthz, /metrics and the page at /.
// The HTTP layer hands in a parsed request and sends whatever reply comes back; the reply
// may come at once or later from another thread (store work runs on the WorkRunner,
// submissions complete on the store's writer thread, verifications in the VerificationPool).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "server/board.hpp"
#include "server/game_list.hpp"
#include "server/game_service.hpp"
#include "server/http_message.hpp"
#include "server/metrics.hpp"
#include "server/rate_limiter.hpp"
#include "server/score_store.hpp"
#include "server/utc_time.hpp"
#include "server/work_queue.hpp"

namespace server {

// The path of the game's protocol: submissions with a query, the list without one.
constexpr std::string_view kGamePath = "/Zebrolite2/updateScore_ppc.php";

class ScoreService {
 public:
  struct Config {
    std::uint32_t submitRate = 30;  // new submissions a minute per address; 0: no limit
    std::size_t maxRateBuckets = 65536;
    bool trustProxy = false;  // take the client's address from X-Real-IP / X-Forwarded-For of loopback peers
    std::string instance;     // part of every ETag, so a restarted server's tags never match old ones
    std::uint32_t postRate = 30;  // replays a minute per address sent to the verifiers; 0: no limit
  };

  // steadyMs: a monotonic clock in milliseconds, for the rate limit.
  ScoreService(ScoreStore& store, WorkRunner& work, VerificationPool& verifications, Metrics& metrics, Config config,
               Clock clock, std::function<std::int64_t()> steadyMs);

  void handle(const HttpRequest& request, ReplyHandler reply);

  // The address the rate limit counts a request against.
  std::string clientAddress(const HttpRequest& request) const;

 private:
  void gameList(const HttpRequest& request, ReplyHandler reply);
  void submit(const HttpRequest& request, std::string_view query, ReplyHandler reply);
  void apiScores(const HttpRequest& request, std::string_view query, ReplyHandler reply);
  void apiRank(const HttpRequest& request, std::string_view query, ReplyHandler reply);
  void page(const HttpRequest& request, std::string_view query, ReplyHandler reply);
  void health(ReplyHandler reply);
  void gameReplay(const HttpRequest& request, std::string_view id, ReplyHandler reply);
  // Runs `job` on the work runner, or answers 503 when it cannot take it.
  void offload(Route route, ReplyHandler& reply, std::function<void(ReplyHandler&)> job);
  std::string etagFor(std::uint64_t version, std::string_view detail) const;
  // The tag of a board's list now: the store's version and the start of the window.
  std::string windowTag(const BoardWindow& window);
  // Answers 304 when the request's If-None-Match holds `etag`.
  bool answeredNotModified(const HttpRequest& request, Route route, const std::string& etag, ReplyHandler& reply);
  enum class Format { Text, Json, Html };
  // A 503 for a store failure, counted.
  HttpReply failed(Route route, StoreStatus status, Format format);

  ScoreStore& store_;
  WorkRunner& work_;
  Metrics& metrics_;
  Config config_;
  Clock clock_;
  std::function<std::int64_t()> steadyMs_;
  RateLimiter limiter_;
  GameListCache listCache_;
  GameService games_;
};

}  // namespace server
