#include "server/game_service.hpp"

#include <chrono>
#include <mutex>

#include "game/rules_version.hpp"
#include "replay/replay_file.hpp"
#include "server/game_id.hpp"
#include "server/submission_rules.hpp"

namespace server {
namespace {

using Kind = app::Verdict::Kind;

// A reply that two parties may give (the verdict, or "queued" when it is late): the first
// one goes out, the other is dropped.
class SingleReply {
 public:
  explicit SingleReply(ReplyHandler handler) : handler_(std::move(handler)) {}
  void send(HttpReply reply) {
    ReplyHandler handler;
    {
      std::lock_guard lock(mutex_);
      handler = std::move(handler_);
      handler_ = nullptr;
    }
    if (handler) handler(std::move(reply));
  }

 private:
  std::mutex mutex_;
  ReplyHandler handler_;
};

GameOutcome outcomeOf(Kind kind) {
  switch (kind) {
    case Kind::Verified: return GameOutcome::Verified;
    case Kind::Malformed: return GameOutcome::Malformed;
    case Kind::TooLarge: return GameOutcome::TooLarge;
    case Kind::OtherRules: return GameOutcome::OtherRules;
    case Kind::TestKey: return GameOutcome::TestKey;
    case Kind::TooLong: return GameOutcome::TooLong;
    case Kind::NoEnd: return GameOutcome::NoEnd;
    case Kind::SavedDiffers: return GameOutcome::SavedDiffers;
    case Kind::ScoreDiffers: return GameOutcome::ScoreDiffers;
    case Kind::NotReady: return GameOutcome::NotReady;
  }
  return GameOutcome::Malformed;
}

// A damaged file is a bad request; a file beyond the limits too large; a sound file whose
// game is not what it claims cannot be processed as a verified game.
int statusOf(Kind kind) {
  switch (kind) {
    case Kind::Verified: return 200;
    case Kind::Malformed: return 400;
    case Kind::TooLarge: return 413;
    case Kind::NotReady: return 503;
    default: return 422;
  }
}

std::span<const std::uint8_t> bytesOf(const std::string& file) {
  return {reinterpret_cast<const std::uint8_t*>(file.data()), file.size()};
}

}  // namespace

GameService::GameService(ScoreStore& store, VerificationPool& pool, Metrics& metrics, Config config, Clock clock,
                         std::function<std::int64_t()> steadyMs)
    : store_(store),
      pool_(pool),
      metrics_(metrics),
      config_(config),
      clock_(std::move(clock)),
      steadyMs_(std::move(steadyMs)),
      limiter_(config_.postRate, config_.maxRateBuckets) {}

HttpReply GameService::refused(GameOutcome outcome, int status, const std::string& reason) {
  metrics_.countGame(outcome);
  return textReply(Route::GamePost, status, "refused: " + reason + "\n");
}

HttpReply GameService::busy(GameOutcome outcome, int status, const std::string& reason) {
  metrics_.countGame(outcome);
  HttpReply reply = textReply(Route::GamePost, status, "busy: " + reason + "\n");
  reply.retryAfter = "1";
  return reply;
}

HttpReply GameService::storeFailed(StoreStatus status) {
  metrics_.countStoreFailure(status == StoreStatus::Full   ? StoreFailure::Full
                             : status == StoreStatus::Busy ? StoreFailure::Busy
                                                           : StoreFailure::Unavailable);
  return busy(GameOutcome::StoreFailed, 503, std::string(describe(status)));
}

void GameService::post(const HttpRequest& request, const std::string& address, ReplyHandler reply) {
  const std::shared_ptr<const std::string> file = request.body ? request.body : sharedBytes(std::string());
  if (file->size() > replay::kMaxFileBytes) {
    reply(refused(GameOutcome::TooLarge, 413,
                  "the replay is larger than " + std::to_string(replay::kMaxFileBytes) + " bytes"));
    return;
  }
  std::string error;
  const std::optional<replay::Header> header = replay::peekHeader(bytesOf(*file), &error);
  if (!header) {
    reply(refused(GameOutcome::Malformed, 400, "the replay is " + error));
    return;
  }
  if (header->rulesVersion != game::kRulesVersion) {
    reply(refused(GameOutcome::OtherRules, 422,
                  "the replay was made under rules version " + std::to_string(header->rulesVersion) +
                      "; this server plays version " + std::to_string(game::kRulesVersion)));
    return;
  }
  if (const std::optional<std::string> refusal = nameRefusal(header->name)) {
    reply(refused(GameOutcome::NameRefused, 422, "the replay's name is not kept here: " + *refusal));
    return;
  }
  if (header->score == 0) {
    reply(refused(GameOutcome::NameRefused, 422, "a score of 0 is not kept here"));
    return;
  }
  if (!limiter_.take(address, steadyMs_())) {
    reply(busy(GameOutcome::RateLimited, 429,
               "at most " + std::to_string(config_.postRate) + " games a minute are verified for one address"));
    return;
  }
  const std::string id = gameIdOf(bytesOf(*file));
  auto answer = std::make_shared<SingleReply>(std::move(reply));
  VerificationPool::Job job;
  job.run = [this, answer, id, file](const Judge& judge) {
    metrics_.verificationLeftQueue();
    answer->send(verify(id, file, judge));
  };
  job.late = [answer, id] { answer->send(textReply(Route::GamePost, 202, "queued " + id + "\n")); };
  metrics_.verificationQueued();
  if (!pool_.post(std::move(job))) {
    metrics_.verificationLeftQueue();
    answer->send(busy(GameOutcome::Busy, 503, "the verification queue is full"));
  }
}

HttpReply GameService::verify(const std::string& id, const std::shared_ptr<const std::string>& file,
                              const Judge& judge) {
  const StoreResult<bool> known = store_.hasGame(id);
  if (!known.ok()) return storeFailed(known.status);
  if (known.value) {
    metrics_.countGame(GameOutcome::Known);
    return textReply(Route::GamePost, 409, "known " + id + "\n");
  }
  const auto started = std::chrono::steady_clock::now();
  const app::Verdict verdict = judge(bytesOf(*file));
  metrics_.verificationTime(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count());
  if (verdict.kind == Kind::NotReady) return busy(GameOutcome::NotReady, 503, verdict.reason);
  if (!verdict.verified()) return refused(outcomeOf(verdict.kind), statusOf(verdict.kind), verdict.reason);
  const StoreResult<bool> kept = store_.keepGame({id, verdict.name, verdict.score, clock_(), file, verdict.updates});
  if (!kept.ok()) return storeFailed(kept.status);
  if (!kept.value) {
    metrics_.countGame(GameOutcome::Known);
    return textReply(Route::GamePost, 409, "known " + id + "\n");
  }
  metrics_.countGame(GameOutcome::Verified);
  return textReply(Route::GamePost, 200, "verified " + id + " " + replayPath(id) + "\n");
}

}  // namespace server
