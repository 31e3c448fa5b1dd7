#include "server/score_service.hpp"

#include "server/api_json.hpp"
#include "server/board.hpp"
#include "server/game_id.hpp"
#include "server/leaderboard_page.hpp"
#include "server/query_string.hpp"
#include "replay/replay_file.hpp"
#include "server/submission_rules.hpp"

namespace server {
namespace {

constexpr std::string_view kJson = "application/json";
constexpr std::string_view kShortCache = "public, max-age=5";
constexpr std::size_t kDefaultLimit = 20;
constexpr std::size_t kMaxLimit = 100;
constexpr std::size_t kNeighbours = 5;
constexpr std::size_t kMaxOffsetDigits = 12;

// A replay never changes: its ID is its content.
constexpr std::string_view kForeverCache = "public, max-age=31536000, immutable";
// A download is a file to keep, never a page: a browser that shows it anyway runs nothing.
constexpr std::string_view kDownloadPolicy = "default-src 'none'";

HttpReply jsonReply(Route route, int status, std::string json) {
  HttpReply reply = textReply(route, status, std::move(json));
  reply.contentType = kJson;
  return reply;
}

HttpReply jsonError(Route route, int status, std::string_view message) {
  return jsonReply(route, status, renderErrorJson(message));
}

// The page needs nothing from anywhere: the policy makes the browser hold it to that, and
// runs no script even if one slipped through the escaping.
constexpr std::string_view kPagePolicy =
    "default-src 'none'; style-src 'unsafe-inline'; form-action 'none'; frame-ancestors 'none'; base-uri 'none'";

HttpReply htmlReply(int status, std::string html) {
  HttpReply reply = textReply(Route::Page, status, std::move(html));
  reply.contentType = "text/html; charset=utf-8";
  reply.contentSecurityPolicy = kPagePolicy;
  return reply;
}

// A list reply that caches may keep for a few seconds and revalidate by its tag.
HttpReply cached(HttpReply reply, std::string etag) {
  reply.etag = std::move(etag);
  reply.cacheControl = kShortCache;
  return reply;
}

std::optional<std::uint64_t> parseCount(std::string_view text) {
  if (text.empty() || text.size() > kMaxOffsetDigits) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

bool isLoopback(std::string_view address) {
  return address.starts_with("127.") || address == "::1" || address.starts_with("::ffff:127.");
}

// The board named by a query (the all-time board when it names none); nullopt for a name
// that is not a board.
std::optional<Board> boardOf(const QueryString& query) {
  const std::optional<std::string_view> name = query.value("board");
  return name ? parseBoard(*name) : Board::All;
}

constexpr std::string_view kBadBoard = "board must be all, day, week or month";

// Whether a query asks for verified entries alone ("verified=1"); nullopt for a value other
// than 0 or 1.
std::optional<bool> verifiedOnlyOf(const QueryString& query) {
  const std::optional<std::string_view> value = query.value("verified");
  if (!value || *value == "0") return false;
  if (*value == "1") return true;
  return std::nullopt;
}

constexpr std::string_view kBadVerified = "verified must be 0 or 1";

}  // namespace

ScoreService::ScoreService(ScoreStore& store, WorkRunner& work, VerificationPool& verifications, Metrics& metrics,
                           Config config, Clock clock, std::function<std::int64_t()> steadyMs)
    : store_(store),
      work_(work),
      metrics_(metrics),
      config_(std::move(config)),
      clock_(std::move(clock)),
      steadyMs_(std::move(steadyMs)),
      limiter_(config_.submitRate, config_.maxRateBuckets),
      games_(store, verifications, metrics, {config_.postRate, config_.maxRateBuckets}, clock_, steadyMs_) {}

std::string ScoreService::clientAddress(const HttpRequest& request) const {
  if (config_.trustProxy && isLoopback(request.peer)) {
    if (const std::string_view real = trimBlanks(request.realIp); !real.empty()) return std::string(real);
    // The proxy appends the address it saw: the last entry is the one it vouches for.
    const std::size_t comma = request.forwardedFor.rfind(',');
    const std::string_view last =
        trimBlanks(comma == std::string_view::npos ? request.forwardedFor : request.forwardedFor.substr(comma + 1));
    if (!last.empty()) return std::string(last);
  }
  return std::string(request.peer);
}

std::string ScoreService::etagFor(std::uint64_t version, std::string_view detail) const {
  std::string tag = "\"" + config_.instance + "-" + std::to_string(version);
  if (!detail.empty()) {
    tag += '-';
    tag += detail;
  }
  return tag + "\"";
}

HttpReply ScoreService::failed(Route route, StoreStatus status, Format format) {
  metrics_.countStoreFailure(status == StoreStatus::Full   ? StoreFailure::Full
                             : status == StoreStatus::Busy ? StoreFailure::Busy
                                                           : StoreFailure::Unavailable);
  std::string message(describe(status));
  HttpReply reply = format == Format::Json   ? jsonError(route, 503, message)
                    : format == Format::Html ? htmlReply(503, renderMessagePage(message))
                                             : textReply(route, 503, message + "\n");
  if (status == StoreStatus::Busy) reply.retryAfter = "1";
  return reply;
}

std::string ScoreService::windowTag(const BoardWindow& window) {
  return etagFor(store_.version(), std::to_string(window.from.value_or(0)));
}

bool ScoreService::answeredNotModified(const HttpRequest& request, Route route, const std::string& etag,
                                       ReplyHandler& reply) {
  if (!etagMatches(request.ifNoneMatch, etag)) return false;
  reply(cached(textReply(route, 304, std::string()), etag));
  return true;
}

void ScoreService::offload(Route route, ReplyHandler& reply, std::function<void(ReplyHandler&)> job) {
  auto shared = std::make_shared<ReplyHandler>(std::move(reply));
  const bool taken = work_.post([shared, job = std::move(job)] { job(*shared); });
  if (!taken) {
    metrics_.countStoreFailure(StoreFailure::Busy);
    HttpReply busy = textReply(route, 503, "the server is busy: try again\n");
    busy.retryAfter = "1";
    (*shared)(std::move(busy));
  }
}

void ScoreService::handle(const HttpRequest& request, ReplyHandler reply) {
  const std::string_view target = request.target;
  const std::size_t mark = target.find('?');
  const std::string_view path = target.substr(0, mark);
  const std::string_view query = mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
  Route route = Route::Other;
  std::optional<std::string_view> gameId;
  if (path == kGamesPath) {
    route = Route::GamePost;
  } else if (isBelowGamesPath(path)) {
    gameId = gameIdOfReplayPath(path);
    if (gameId) route = Route::GameReplay;
  } else if (path == kGamePath) {
    route = query.empty() ? Route::GameList : Route::GameSubmit;
  } else if (path == "/api/v1/scores") {
    route = Route::ApiScores;
  } else if (path == "/api/v1/rank") {
    route = Route::ApiRank;
  } else if (path == "/healthz") {
    route = Route::Health;
  } else if (path == "/metrics") {
    route = Route::Metrics;
  } else if (path == "/") {
    route = Route::Page;
  }
  if (route == Route::Other) {
    reply(textReply(route, 404, "not found\n"));
    return;
  }
  // A submission changes the store, so only a GET makes one; a replay comes by POST.
  const bool allowed = route == Route::GamePost ? request.method == "POST"
                                                : request.method == "GET" ||
                                                      (request.method == "HEAD" && route != Route::GameSubmit);
  if (!allowed) {
    HttpReply refusal = textReply(route, 405,
                                  route == Route::GameSubmit ? "a submission is a GET\n"
                                  : route == Route::GamePost ? "a replay is sent by POST\n"
                                                             : "only GET and HEAD are answered\n");
    refusal.allow = route == Route::GameSubmit ? "GET" : route == Route::GamePost ? "POST" : "GET, HEAD";
    reply(std::move(refusal));
    return;
  }
  switch (route) {
    case Route::GameList: gameList(request, std::move(reply)); break;
    case Route::GameSubmit: submit(request, query, std::move(reply)); break;
    case Route::ApiScores: apiScores(request, query, std::move(reply)); break;
    case Route::ApiRank: apiRank(request, query, std::move(reply)); break;
    case Route::Health: health(std::move(reply)); break;
    case Route::Metrics: {
      HttpReply text = textReply(route, 200, metrics_.render());
      text.contentType = "text/plain; version=0.0.4; charset=utf-8";
      reply(std::move(text));
      break;
    }
    case Route::Page: page(request, query, std::move(reply)); break;
    case Route::GamePost: games_.post(request, clientAddress(request), std::move(reply)); break;
    case Route::GameReplay: gameReplay(request, *gameId, std::move(reply)); break;
    case Route::Other: break;
  }
}

void ScoreService::gameList(const HttpRequest& request, ReplyHandler reply) {
  const std::uint64_t version = store_.version();
  std::string etag = etagFor(version, "");
  if (answeredNotModified(request, Route::GameList, etag, reply)) return;
  auto answer = [etag](GameListCache::Bytes list) {
    HttpReply ok;
    ok.route = Route::GameList;
    ok.body = std::move(list);
    return cached(std::move(ok), etag);
  };
  if (GameListCache::Bytes cached = listCache_.find(version)) {
    reply(answer(std::move(cached)));
    return;
  }
  offload(Route::GameList, reply, [this, version, answer](ReplyHandler& done) {
    const StoreResult<BoardPage> page = store_.board({std::nullopt, 0, kGameListLength, false, false});
    if (!page.ok()) {
      done(failed(Route::GameList, page.status, Format::Text));
      return;
    }
    GameListCache::Bytes list = sharedBytes(renderGameList(page.value.entries));
    listCache_.keep(version, list);
    done(answer(std::move(list)));
  });
}

void ScoreService::submit(const HttpRequest& request, std::string_view query, ReplyHandler reply) {
  SubmissionCheck check = checkSubmission(query);
  if (!check.ok()) {
    metrics_.countSubmission(SubmissionResult::Invalid);
    reply(textReply(Route::GameSubmit, 400, check.refusal + "\n"));
    return;
  }
  AdmitNew admit = [this, address = clientAddress(request)] {
    if (limiter_.take(address, steadyMs_())) return true;
    metrics_.countSubmission(SubmissionResult::RateLimited);
    return false;
  };
  SubmitDone done = [this, reply = std::move(reply)](SubmitOutcome outcome) {
    switch (outcome) {
      case SubmitOutcome::Stored:
      case SubmitOutcome::AlreadyStored:
        metrics_.countSubmission(outcome == SubmitOutcome::Stored ? SubmissionResult::Stored
                                                                  : SubmissionResult::AlreadyStored);
        reply(textReply(Route::GameSubmit, 200, "OK"));
        return;
      case SubmitOutcome::Refused:
        reply(textReply(Route::GameSubmit, 429,
                        "too many new scores from this address: at most " + std::to_string(config_.submitRate) +
                            " a minute\n"));
        return;
      case SubmitOutcome::Full: reply(failed(Route::GameSubmit, StoreStatus::Full, Format::Text)); return;
      case SubmitOutcome::Busy: reply(failed(Route::GameSubmit, StoreStatus::Busy, Format::Text)); return;
      case SubmitOutcome::Unavailable: reply(failed(Route::GameSubmit, StoreStatus::Unavailable, Format::Text)); return;
    }
  };
  store_.submit({std::move(check.name), check.score, clock_()}, std::move(admit), std::move(done));
}

void ScoreService::apiScores(const HttpRequest& request, std::string_view query, ReplyHandler reply) {
  const QueryString parsed = QueryString::parse(query, {"board", "offset", "limit", "verified"});
  if (!parsed.ok()) {
    reply(jsonError(Route::ApiScores, 400, parsed.refusal()));
    return;
  }
  const std::optional<Board> board = boardOf(parsed);
  if (!board) {
    reply(jsonError(Route::ApiScores, 400, kBadBoard));
    return;
  }
  const std::optional<std::string_view> offsetText = parsed.value("offset");
  const std::optional<std::uint64_t> offset = offsetText ? parseCount(*offsetText) : std::uint64_t{0};
  if (!offset) {
    reply(jsonError(Route::ApiScores, 400, "offset must be a whole number from 0 to 999999999999"));
    return;
  }
  const std::optional<std::string_view> limitText = parsed.value("limit");
  const std::optional<std::uint64_t> limit = limitText ? parseCount(*limitText) : std::uint64_t{kDefaultLimit};
  if (!limit || *limit < 1 || *limit > kMaxLimit) {
    reply(jsonError(Route::ApiScores, 400, "limit must be a whole number from 1 to 100"));
    return;
  }
  const std::optional<bool> verifiedOnly = verifiedOnlyOf(parsed);
  if (!verifiedOnly) {
    reply(jsonError(Route::ApiScores, 400, kBadVerified));
    return;
  }
  const BoardWindow window = boardWindow(*board, clock_());
  std::string etag = windowTag(window);
  if (answeredNotModified(request, Route::ApiScores, etag, reply)) return;
  const BoardQuery rows{window.from, *offset, *limit, true, *verifiedOnly};
  offload(Route::ApiScores, reply, [this, board = *board, window, rows, etag](ReplyHandler& done) {
    const StoreResult<BoardPage> page = store_.board(rows);
    if (!page.ok()) {
      done(failed(Route::ApiScores, page.status, Format::Json));
      return;
    }
    done(cached(jsonReply(Route::ApiScores, 200, renderBoardJson(board, window, rows, page.value)), etag));
  });
}

void ScoreService::apiRank(const HttpRequest& request, std::string_view query, ReplyHandler reply) {
  const QueryString parsed = QueryString::parse(query, {"name", "board"});
  if (!parsed.ok()) {
    reply(jsonError(Route::ApiRank, 400, parsed.refusal()));
    return;
  }
  const std::optional<Board> board = boardOf(parsed);
  if (!board) {
    reply(jsonError(Route::ApiRank, 400, kBadBoard));
    return;
  }
  const std::optional<std::string_view> name = parsed.value("name");
  if (!name) {
    reply(jsonError(Route::ApiRank, 400, "rank needs a name"));
    return;
  }
  if (const std::optional<std::string> refusal = nameRefusal(*name)) {
    reply(jsonError(Route::ApiRank, 400, *refusal));
    return;
  }
  const BoardWindow window = boardWindow(*board, clock_());
  std::string etag = windowTag(window);
  if (answeredNotModified(request, Route::ApiRank, etag, reply)) return;
  offload(Route::ApiRank, reply, [this, board = *board, window, name = std::string(*name), etag](ReplyHandler& done) {
    const StoreResult<std::optional<RankView>> view = store_.rankOf(name, window.from, kNeighbours);
    if (!view.ok()) {
      done(failed(Route::ApiRank, view.status, Format::Json));
      return;
    }
    if (!view.value) {
      done(jsonError(Route::ApiRank, 404, "no entry of this name on this board"));
      return;
    }
    done(cached(jsonReply(Route::ApiRank, 200, renderRankJson(board, window, name, *view.value)), etag));
  });
}

void ScoreService::page(const HttpRequest& request, std::string_view query, ReplyHandler reply) {
  // People reach the page through links, which sites decorate with keys of their own.
  const QueryString parsed = QueryString::parse(query, {"board", "verified"}, UnknownKeys::Ignored);
  const std::optional<Board> board = parsed.ok() ? boardOf(parsed) : std::nullopt;
  const std::optional<bool> verifiedOnly = parsed.ok() ? verifiedOnlyOf(parsed) : std::nullopt;
  if (!board || !verifiedOnly) {
    reply(htmlReply(400, renderMessagePage(!parsed.ok() ? parsed.refusal() : !board ? kBadBoard : kBadVerified)));
    return;
  }
  const BoardWindow window = boardWindow(*board, clock_());
  std::string etag = windowTag(window);
  if (answeredNotModified(request, Route::Page, etag, reply)) return;
  offload(Route::Page, reply, [this, board = *board, window, verifiedOnly = *verifiedOnly, etag](ReplyHandler& done) {
    const StoreResult<BoardPage> rows = store_.board({window.from, 0, kPageRows, true, verifiedOnly});
    if (!rows.ok()) {
      done(failed(Route::Page, rows.status, Format::Html));
      return;
    }
    done(cached(htmlReply(200, renderLeaderboardPage(makeLeaderboardView(board, window, verifiedOnly, rows.value))),
                etag));
  });
}

void ScoreService::health(ReplyHandler reply) {
  offload(Route::Health, reply, [this](ReplyHandler& done) {
    const StoreStatus status = store_.health();
    done(status == StoreStatus::Ok ? textReply(Route::Health, 200, "ok\n")
                                   : textReply(Route::Health, 503, std::string(describe(status)) + "\n"));
  });
}

void ScoreService::gameReplay(const HttpRequest& request, std::string_view id, ReplyHandler reply) {
  offload(Route::GameReplay, reply, [this, id = std::string(id), ifNoneMatch = std::string(request.ifNoneMatch)](
                                        ReplyHandler& done) {
    StoreResult<std::optional<GameRecord>> game = store_.game(id);
    if (!game.ok()) {
      done(failed(Route::GameReplay, game.status, Format::Text));
      return;
    }
    // Hidden entries and banned names have no replay to download, as they have no row.
    if (!game.value) {
      done(textReply(Route::GameReplay, 404, "no verified game has this ID\n"));
      return;
    }
    const std::string etag = "\"" + id + "\"";
    HttpReply file = etagMatches(ifNoneMatch, etag) ? textReply(Route::GameReplay, 304, std::string())
                                                    : textReply(Route::GameReplay, 200, std::move(game.value->file));
    file.etag = etag;
    file.cacheControl = kForeverCache;
    file.contentType = replay::kMimeType;
    file.contentSecurityPolicy = kDownloadPolicy;
    file.contentDisposition = "attachment; filename=\"" + replayFileName(game.value->name, game.value->score) + "\"";
    done(std::move(file));
  });
}

}  // namespace server
