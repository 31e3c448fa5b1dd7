// Whole HTTP requests to the score server, any bytes: Beast's request parser with the
// daemon's limits reads them one after the other (pipelined, as on a kept-alive connection),
// and each complete request goes through the ScoreService to a small store in memory. Every
// request gets exactly one reply, at once, with a status the server documents; a refusal in
// text is one line; and the game's list, whatever was submitted before it, reads back in the
// game's parser as exactly the store's best entries.
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/memory_store.hpp"
#include "fuzz/support/scratch.hpp"
#include "platform/unicode.hpp"
#include "scores/score_upload.hpp"
#include "server/daemon/http_server.hpp"
#include "server/game_list.hpp"
#include "server/score_service.hpp"

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
  for (const int known : {200, 304, 400, 404, 405, 429, 503}) {
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
  if (!text && !json && !html) fuzzing::violated("a reply of a type the server does not document");
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
bool readRequest(std::string_view bytes, http::request_parser<http::empty_body>& parser, std::size_t& used) {
  parser.header_limit(static_cast<std::uint32_t>(server::HttpLimits{}.headerBytes));
  parser.body_limit(0);
  parser.eager(true);
  used = 0;
  boost::beast::error_code error;
  while (!parser.is_done()) {
    const std::size_t taken = parser.put(boost::asio::const_buffer(bytes.data() + used, bytes.size() - used), error);
    used += taken;
    if (error == http::error::need_more && taken > 0) continue;
    if (error == http::error::need_more) parser.put_eof(error);
    if (error) return false;
  }
  return true;
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
  server::ScoreService service(store, runner, metrics, config, [] { return kNow; }, [&steadyMs] { return steadyMs; });

  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int n = 0; n < kMaxRequests && !bytes.empty(); ++n) {
    http::request_parser<http::empty_body> parser;
    std::size_t used = 0;
    if (!readRequest(bytes, parser, used)) break;
    bytes.remove_prefix(used);
    const http::request<http::empty_body> message = parser.release();
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
    int replies = 0;
    service.handle(request, [&](server::HttpReply reply) {
      ++replies;
      checkReply(reply, store);
    });
    if (replies != 1) fuzzing::violated("a request without exactly one reply");
    steadyMs += 7000;
  }
  return 0;
}
