// Whole HTTP requests to the score server, any bytes: Beast's request parser with the
// daemon's limits reads them one after the other (pipelined, as on a kept-alive connection),
// a body only where the daemon reads one (a replay's POST with a Content-Length), and each
// complete request goes through the ScoreService to a small store in memory. Every request
// gets exactly one reply, with a status the server documents; a refusal in text is one line;
// the game's list, whatever was submitted before it, reads back in the game's parser as
// exactly the store's best entries; and a replay answered "verified" downloads as the bytes
// that were posted. A judge that takes whatever decodes for what it claims stands in for
// the verifier, whose play the replay target and the tests cover.
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <mutex>
#include <vector>

#include "fuzz/support/memory_store.hpp"
#include "fuzz/support/scratch.hpp"
#include "platform/unicode.hpp"
#include "replay/replay_file.hpp"
#include "scores/score_upload.hpp"
#include "server/daemon/http_server.hpp"
#include "server/game_id.hpp"
#include "server/game_list.hpp"
#include "server/score_service.hpp"
#include "server/verification_pool.hpp"

namespace {

namespace http = boost::beast::http;

constexpr server::UnixTime kNow = 1709726400;  // 2024-03-06T12:00:00Z
// Requests read from one input at most, as one connection might send them.
constexpr int kMaxRequests = 8;

struct Seed {
  const char* name;
  std::uint32_t score;
  server::UnixTime time;
};
// A board with equal scores, old and new entries, and names of several UTF-8 lengths.
constexpr Seed kSeeds[] = {{"ANNA", 500, kNow - 10}, {"BOB", 400, kNow - 90000},  {"C\xC3\xA9", 500, kNow - 5},
                           {"\xF0\x9F\x8E\xAE", 30, kNow - 3000000}, {"DAVE", 4294967295u, kNow - 1}, {"ANNA", 20, kNow}};

std::string_view view(boost::beast::string_view text) { return {text.data(), text.size()}; }

bool knownStatus(int status) {
  for (const int known : {200, 202, 304, 400, 404, 405, 409, 413, 422, 429, 503}) {
    if (status == known) return true;
  }
  return false;
}

// The game's list must hold the best 100 entries exactly as the game reads them.
void checkGameList(const std::string& body, fuzzing::MemoryStore& store) {
  const std::vector<scores::ReplyRecord> read = scores::parseScoreReply(body);
  std::vector<server::RankedEntry> best = store.ranked(std::nullopt);
  if (best.size() > server::kGameListLength) best.resize(server::kGameListLength);
  if (read.size() != best.size()) fuzzing::violated("the game reads a different number of list entries");
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (read[i].name != platform::fromUtf8(best[i].name) || read[i].score != best[i].score) {
      fuzzing::violated("the game reads a list entry differently");
    }
  }
}

void checkReply(const server::HttpReply& reply, fuzzing::MemoryStore& store) {
  if (!knownStatus(reply.status)) fuzzing::violated("a status the server does not document");
  if (reply.body == nullptr) fuzzing::violated("a reply without a body");
  const std::string& body = *reply.body;
  const bool text = reply.contentType.starts_with("text/plain");
  if (reply.status >= 400 && text && (body.empty() || body.find('\n') != body.size() - 1)) {
    fuzzing::violated("a refusal that is not one line");
  }
  const bool json = reply.contentType.starts_with("application/json");
  const bool html = reply.contentType.starts_with("text/html");
  const bool download = reply.contentType == replay::kMimeType;
  if (!text && !json && !html && !download) fuzzing::violated("a reply of a type the server does not document");
  if (download != (reply.route == server::Route::GameReplay && (reply.status == 200 || reply.status == 304))) {
    fuzzing::violated("a replay's type on anything but a replay's download, or a download of another type");
  }
  if (json && reply.status != 304 && (body.empty() || body.front() != '{')) {
    fuzzing::violated("a JSON reply that is not an object");
  }
  if (html && reply.status == 200 && !body.starts_with("<!DOCTYPE html>")) {
    fuzzing::violated("a page that is not an HTML document");
  }
  if (reply.route == server::Route::GameList && reply.status == 200) checkGameList(body, store);
  if (reply.route == server::Route::GameSubmit && reply.status == 200 && body != "OK") {
    fuzzing::violated("an accepted submission not answered OK");
  }
}

// Reads one request from `bytes` as the daemon's connection does; false when no complete
// request is there (the connection would then be refused or closed). `used` is what it took.
bool readRequest(std::string_view bytes, http::request_parser<http::string_body>& parser, std::size_t& used) {
  parser.header_limit(static_cast<std::uint32_t>(server::HttpLimits{}.headerBytes));
  parser.body_limit(replay::kMaxFileBytes);
  used = 0;
  boost::beast::error_code error;
  bool bodyAllowed = false;
  while (!parser.is_done()) {
    if (parser.is_header_done() && !bodyAllowed) {
      const boost::optional<std::uint64_t> length = parser.content_length();
      if (!server::isReplayPost(view(parser.get().method_string()), view(parser.get().target())) || !length ||
          *length > replay::kMaxFileBytes) {
        return false;
      }
      bodyAllowed = true;
      parser.eager(true);
    }
    // Given nothing, a parser within a body asks for nothing more: the input has ended.
    if (used == bytes.size()) {
      parser.put_eof(error);
      return !error && parser.is_done();
    }
    const std::size_t taken = parser.put(boost::asio::const_buffer(bytes.data() + used, bytes.size() - used), error);
    used += taken;
    if (error == http::error::need_more && taken > 0) continue;
    if (error == http::error::need_more) parser.put_eof(error);
    if (error) return false;
  }
  return true;
}

// Whatever decodes is what it claims.
server::JudgeFactory decodingJudges() {
  return [] {
    return server::Judge([](std::span<const std::uint8_t> file) {
      app::Verdict verdict;
      const replay::Decoded decoded = replay::decode(file);
      verdict.reason = decoded.error;
      if (decoded.replay) {
        verdict.kind = app::Verdict::Kind::Verified;
        verdict.name = decoded.replay->name;
        verdict.score = decoded.replay->score;
        verdict.reason = "as claimed";
      }
      return verdict;
    });
  };
}

// One pool for the whole run; a verdict never comes late, and each request's reply is
// awaited before the next request, so the store is used by one thread at a time.
server::VerificationPool& pool() {
  static server::VerificationPool verifications(1, 4, std::chrono::hours(1), decodingJudges());
  return verifications;
}

// Hands the request to the service and waits for its one reply (a replay's comes from the
// pool's worker).
server::HttpReply answer(server::ScoreService& service, const server::HttpRequest& request) {
  std::mutex mutex;
  std::condition_variable replied;
  int replies = 0;
  server::HttpReply reply;
  service.handle(request, [&](server::HttpReply r) {
    std::lock_guard lock(mutex);
    ++replies;
    reply = std::move(r);
    replied.notify_one();
  });
  std::unique_lock lock(mutex);
  if (!replied.wait_for(lock, std::chrono::seconds(10), [&] { return replies > 0; }) || replies != 1) {
    fuzzing::violated("a request without exactly one reply");
  }
  return reply;
}

void checkDownload(server::ScoreService& service, const server::HttpReply& verified, const std::string& posted) {
  const std::size_t space = verified.body->rfind(' ');
  if (!verified.body->starts_with("verified ") || space == std::string::npos) {
    fuzzing::violated("a verified replay not answered 'verified ID PATH'");
  }
  const std::string path = verified.body->substr(space + 1, verified.body->size() - space - 2);
  server::HttpRequest request;
  request.method = "GET";
  request.target = path;
  request.peer = "127.0.0.1";
  const server::HttpReply download = answer(service, request);
  if (download.status != 200 || *download.body != posted) fuzzing::violated("a verified replay does not download as sent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::MemoryStore store;
  for (const Seed& seed : kSeeds) store.submit({seed.name, seed.score, seed.time}, {}, [](server::SubmitOutcome) {});
  server::InlineRunner runner;
  server::Metrics metrics;
  server::ScoreService::Config config;
  config.submitRate = 3;
  config.trustProxy = true;
  config.instance = "f";
  std::int64_t steadyMs = 0;
  server::ScoreService service(store, runner, pool(), metrics, config, [] { return kNow; },
                               [&steadyMs] { return steadyMs; });

  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int n = 0; n < kMaxRequests && !bytes.empty(); ++n) {
    http::request_parser<http::string_body> parser;
    std::size_t used = 0;
    if (!readRequest(bytes, parser, used)) break;
    bytes.remove_prefix(used);
    const http::request<http::string_body> message = parser.release();
    const auto header = [&message](std::string_view field) {
      const auto found = message.find(boost::beast::string_view(field.data(), field.size()));
      return found == message.end() ? std::string_view() : view(found->value());
    };
    server::HttpRequest request;
    request.method = view(message.method_string());
    request.target = view(message.target());
    request.peer = "127.0.0.1";
    request.ifNoneMatch = header("If-None-Match");
    request.forwardedFor = header("X-Forwarded-For");
    request.realIp = header("X-Real-IP");
    if (server::isReplayPost(request.method, request.target)) request.body = server::sharedBytes(message.body());
    const server::HttpReply reply = answer(service, request);
    checkReply(reply, store);
    if (reply.route == server::Route::GamePost && reply.status == 200) checkDownload(service, reply, message.body());
    steadyMs += 7000;
  }
  return 0;
}
