// Replays posted to the server and verified games downloaded, through the service without
// sockets, for every kind of store: what the header tells is answered at once, the queue
// and the rate limit bound the work, a late verdict is kept after "queued", and a kept game
// shows in the JSON and the page and downloads as its bytes. Fake judges stand in for the
// verifier where the queueing is tested; the game's own verifier judges recorded games.
#include <atomic>
#include <chrono>
#include <future>
#include <semaphore>

#include "game/rules_version.hpp"
#include "platform/files.hpp"
#include "replay/replay_file.hpp"
#include "server/game_id.hpp"
#include "server/score_service.hpp"
#include "server/verification_pool.hpp"
#include "tests/server/store_fixture.hpp"
#include "tests/support/recorded_games.hpp"

namespace server_test {
namespace {

using namespace std::chrono_literals;
using server::HttpReply;
using Kind = app::Verdict::Kind;

constexpr server::UnixTime kNow = 1709726400;  // 2024-03-06T12:00:00Z
const std::string kSubmit = std::string(server::kGamePath) + "?myname=";

std::string asText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// A well-formed replay claiming `name` and `score`; `length` makes files of the same claim
// differ.
replay::Replay claim(const std::string& name, std::uint32_t score, std::uint32_t length = 1) {
  replay::Replay r;
  r.rulesVersion = game::kRulesVersion;
  r.name = name;
  r.score = score;
  replay::Segment part;
  part.finished = true;
  part.events.push_back({replay::Event::Kind::Frames, length});
  r.segments.push_back(part);
  return r;
}

std::string replayFile(const std::string& name, std::uint32_t score, std::uint32_t length = 1) {
  return asText(replay::encode(claim(name, score, length)));
}

// Judges for the queueing: a replay is what it claims unless the test gives another
// verdict, and every judgement can be held until the test lets it go.
class FakeJudging {
 public:
  server::JudgeFactory judges() {
    return [this] {
      return server::Judge([this](std::span<const std::uint8_t> file) {
        ++calls;
        started_.release();
        gate_.wait();
        app::Verdict verdict;
        const std::optional<replay::Header> header = replay::peekHeader(file);
        verdict.name = header->name;
        verdict.score = header->score;
        verdict.kind = kind.load();
        verdict.reason = verdict.verified() ? "as claimed" : "the fake says no";
        return verdict;
      });
    };
  }
  // Judgements wait until release().
  void hold() {
    held_ = {};
    gate_ = held_.get_future().share();
  }
  void release() { held_.set_value(); }
  // Waits until a judgement has begun.
  void waitForStart() { started_.acquire(); }

  std::atomic<int> calls{0};
  std::atomic<Kind> kind{Kind::Verified};

 private:
  std::promise<void> held_;
  std::shared_future<void> gate_ = [] {
    std::promise<void> open;
    open.set_value();
    return open.get_future().share();
  }();
  std::counting_semaphore<64> started_{0};
};

struct PoolSetup {
  std::size_t capacity = 4;
  std::chrono::milliseconds wait = 10s;
  std::uint32_t postRate = 30;
};

class GameServiceTest : public StoreTest {
 protected:
  void start(PoolSetup setup, server::JudgeFactory judges) {
    pool_.reset();
    service_.reset();
    pool_ = std::make_unique<server::VerificationPool>(1, setup.capacity, setup.wait, std::move(judges));
    server::ScoreService::Config config;
    config.instance = "t";
    config.postRate = setup.postRate;
    service_ = std::make_unique<server::ScoreService>(
        store(), runner_, *pool_, metrics_, config, [] { return kNow; }, [this] { return steadyMs_.load(); });
  }
  void start(PoolSetup setup = {}) { start(setup, fake_.judges()); }

  std::future<HttpReply> sendLater(const std::string& method, const std::string& target, const std::string& body = "",
                                   const std::string& peer = "192.0.2.7", const std::string& ifNoneMatch = "") {
    if (!service_) start();
    server::HttpRequest request;
    request.method = method;
    request.target = target;
    request.peer = peer;
    request.ifNoneMatch = ifNoneMatch;
    if (method == "POST") request.body = server::sharedBytes(body);
    auto reply = std::make_shared<std::promise<HttpReply>>();
    service_->handle(request, [reply](HttpReply r) { reply->set_value(std::move(r)); });
    return reply->get_future();
  }
  HttpReply send(const std::string& method, const std::string& target, const std::string& body = "",
                 const std::string& peer = "192.0.2.7", const std::string& ifNoneMatch = "") {
    return sendLater(method, target, body, peer, ifNoneMatch).get();
  }
  HttpReply post(const std::string& file, const std::string& peer = "192.0.2.7") {
    return send("POST", std::string(server::kGamesPath), file, peer);
  }
  HttpReply get(const std::string& target, const std::string& ifNoneMatch = "") {
    return send("GET", target, "", "192.0.2.7", ifNoneMatch);
  }
  bool metricSays(const std::string& line) { return get("/metrics").body->find(line + "\n") != std::string::npos; }

  FakeJudging fake_;
  server::InlineRunner runner_;
  server::Metrics metrics_;
  std::atomic<std::int64_t> steadyMs_{1000};
  // The pool goes first: its jobs answer through the service.
  std::unique_ptr<server::ScoreService> service_;
  std::unique_ptr<server::VerificationPool> pool_;
};

TEST_P(GameServiceTest, WhatTheHeaderTellsIsAnsweredAtOnceWithoutAVerifier) {
  std::string damaged = replayFile("ANNA", 500);
  damaged[damaged.size() / 2] ^= 0x20;
  replay::Replay otherRules = claim("ANNA", 500);
  ++otherRules.rulesVersion;
  const struct {
    std::string file;
    int status;
    const char* answer;
  } cases[] = {
      {std::string(replay::kMaxFileBytes + 1, 'Z'), 413, "refused: the replay is larger than 1048576 bytes\n"},
      {"", 400, "refused: the replay is "},
      {"ZEBRPLAY but not one", 400, "refused: the replay is "},
      {damaged, 400, "refused: the replay is "},
      {replayFile("ANNA", 500).substr(0, 30), 400, "refused: the replay is "},
      {asText(replay::encode(otherRules)), 422, "refused: the replay was made under rules version "},
      {replayFile("A,B", 500), 422, "refused: the replay's name is not kept here: "},
      {replayFile("ANNA", 0), 422, "refused: a score of 0 is not kept here\n"},
  };
  for (const auto& c : cases) {
    const HttpReply reply = post(c.file);
    EXPECT_EQ(reply.status, c.status) << c.answer;
    EXPECT_EQ(reply.route, server::Route::GamePost);
    EXPECT_EQ(reply.contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(reply.body->rfind(c.answer, 0), 0u) << *reply.body;
    EXPECT_EQ(reply.body->find('\n'), reply.body->size() - 1) << "one line";
  }
  EXPECT_EQ(fake_.calls, 0);
  EXPECT_TRUE(metricSays("zebrolite_verifications_total{outcome=\"malformed\"} 4"));
  EXPECT_TRUE(metricSays("zebrolite_verifications_total{outcome=\"other_rules\"} 1"));

  const HttpReply getGames = get(std::string(server::kGamesPath));
  EXPECT_EQ(getGames.status, 405);
  EXPECT_EQ(getGames.allow, "POST");
  EXPECT_EQ(send("POST", "/api/v1/scores", replayFile("ANNA", 500)).status, 405);
  EXPECT_EQ(get(std::string(server::kGamePath)).status, 200) << "the game's list is still served";
}

TEST_P(GameServiceTest, AVerifiedGameIsKeptWithItsEntryShownAndDownloadedAsItsBytes) {
  get(kSubmit + "ANNA&myscore=500");
  get(kSubmit + "BOB&myscore=900");
  const std::string list = *get(std::string(server::kGamePath)).body;
  const HttpReply jsonBefore = get("/api/v1/scores");
  const std::string file = replayFile("ANNA", 500);
  const std::string id = server::gameIdOf(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  const std::string path = server::replayPath(id);

  const HttpReply verified = post(file);
  EXPECT_EQ(verified.status, 200);
  EXPECT_EQ(*verified.body, "verified " + id + " " + path + "\n");
  const HttpReply again = post(file);
  EXPECT_EQ(again.status, 409);
  EXPECT_EQ(*again.body, "known " + id + "\n");
  EXPECT_EQ(fake_.calls, 1) << "a known game is not played again";

  // The game's list is what it was, byte for byte; the JSON says which entry is verified.
  EXPECT_EQ(*get(std::string(server::kGamePath)).body, list);
  const HttpReply json = get("/api/v1/scores");
  EXPECT_NE(json.etag, jsonBefore.etag);
  EXPECT_NE(json.body->find("\"name\":\"BOB\",\"score\":900,\"time\":\"2024-03-06T12:00:00Z\",\"verified\":false}"),
            std::string::npos)
      << *json.body;
  EXPECT_NE(json.body->find("\"name\":\"ANNA\",\"score\":500,\"time\":\"2024-03-06T12:00:00Z\",\"verified\":true,"
                            "\"replay\":\"" + path + "\"}"),
            std::string::npos)
      << *json.body;
  const std::string onlyVerified = *get("/api/v1/scores?verified=1").body;
  EXPECT_NE(onlyVerified.find("\"verified\":true,\"offset\":0,\"limit\":20,\"total\":1,\"entries\":[{\"rank\":1,\"name\":\"ANNA\""),
            std::string::npos)
      << onlyVerified;
  EXPECT_EQ(get("/api/v1/scores?verified=2").status, 400);
  const std::string page = *get("/?verified=1").body;
  EXPECT_NE(page.find("href=\"" + path + "\""), std::string::npos);
  EXPECT_EQ(page.find(">BOB<"), std::string::npos);

  const HttpReply download = get(path);
  EXPECT_EQ(download.status, 200);
  EXPECT_EQ(download.route, server::Route::GameReplay);
  EXPECT_EQ(*download.body, file);
  EXPECT_EQ(download.contentType, replay::kMimeType);
  EXPECT_EQ(download.contentDisposition, "attachment; filename=\"zebrolite-ANNA-500.zebreplay\"");
  EXPECT_EQ(download.etag, "\"" + id + "\"");
  EXPECT_NE(download.cacheControl.find("immutable"), std::string::npos);
  EXPECT_EQ(get(path, download.etag).status, 304);
  EXPECT_EQ(send("HEAD", path).status, 200);
  EXPECT_EQ(get(server::replayPath(std::string(32, '0'))).status, 404);
  EXPECT_EQ(get("/api/v1/games/" + id).status, 404);
  EXPECT_EQ(get("/api/v1/games/" + id.substr(1) + "/replay").status, 404);

  // A game whose entry was never sent brings it; a hidden entry gives its game out no more.
  EXPECT_EQ(post(replayFile("CAT", 700)).status, 200);
  EXPECT_NE(get("/api/v1/scores?verified=1").body->find("\"name\":\"CAT\",\"score\":700"), std::string::npos);
  for (const server::SubmissionRecord& record : store().recent(10).value) {
    if (record.name == "ANNA") {
      ASSERT_TRUE(store().setHidden(record.id, true, "mod", kNow).value);
    }
  }
  EXPECT_EQ(get(path).status, 404);
  EXPECT_EQ(post(file).status, 409) << "still known";
  EXPECT_TRUE(metricSays("zebrolite_verifications_total{outcome=\"verified\"} 2"));
  EXPECT_TRUE(metricSays("zebrolite_verifications_total{outcome=\"known\"} 2"));
}

TEST_P(GameServiceTest, RefusedVerdictsKeepNothingAndAVerifierWithoutItsMapIsBusy) {
  start();
  const struct {
    Kind kind;
    int status;
    const char* outcome;
  } cases[] = {
      {Kind::TestKey, 422, "test_key"},         {Kind::ScoreDiffers, 422, "score_differs"},
      {Kind::NoEnd, 422, "no_end"},             {Kind::TooLong, 422, "too_long"},
      {Kind::SavedDiffers, 422, "saved_differs"}, {Kind::Malformed, 400, "malformed"},
      {Kind::TooLarge, 413, "too_large"},       {Kind::NotReady, 503, "not_ready"},
  };
  std::uint32_t length = 1;
  for (const auto& c : cases) {
    fake_.kind = c.kind;
    const HttpReply reply = post(replayFile("ANNA", 500, length++));
    EXPECT_EQ(reply.status, c.status) << c.outcome;
    EXPECT_EQ(*reply.body, c.kind == Kind::NotReady ? "busy: the fake says no\n" : "refused: the fake says no\n");
    EXPECT_TRUE(metricSays(std::string("zebrolite_verifications_total{outcome=\"") + c.outcome + "\"} 1")) << c.outcome;
  }
  EXPECT_TRUE(get("/api/v1/scores").body->find("\"entries\":[]") != std::string::npos) << "nothing kept";
}

TEST_P(GameServiceTest, TheQueueIsBoundedAndAVerdictTooLateForItsRequestIsKeptAfterQueued) {
  start({.capacity = 1, .wait = 200ms});
  fake_.hold();
  const std::string first = replayFile("ANNA", 500, 1);
  const std::string second = replayFile("BOB", 400, 2);
  std::future<HttpReply> running = sendLater("POST", std::string(server::kGamesPath), first);
  fake_.waitForStart();  // the worker holds the first; the second fills the queue
  std::future<HttpReply> waiting = sendLater("POST", std::string(server::kGamesPath), second);
  EXPECT_TRUE(metricSays("zebrolite_verification_queue_depth 1"));
  const HttpReply full = post(replayFile("CAT", 300, 3));
  EXPECT_EQ(full.status, 503);
  EXPECT_EQ(*full.body, "busy: the verification queue is full\n");
  EXPECT_EQ(full.retryAfter, "1");

  const HttpReply late = running.get();
  EXPECT_EQ(late.status, 202);
  const auto idOf = [](const std::string& file) {
    return server::gameIdOf(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  };
  EXPECT_EQ(*late.body, "queued " + idOf(first) + "\n");
  EXPECT_EQ(waiting.get().status, 202);
  fake_.release();
  EXPECT_TRUE(eventually([&] { return store().hasGame(idOf(first)).value && store().hasGame(idOf(second)).value; }));
  EXPECT_TRUE(eventually([&] { return metricSays("zebrolite_verification_queue_depth 0"); }));
  EXPECT_EQ(get(server::replayPath(idOf(second))).status, 200);
  EXPECT_TRUE(metricSays("zebrolite_verifications_total{outcome=\"busy\"} 1"));
}

TEST_P(GameServiceTest, ReplaysHaveARateOfTheirOwnPerAddress) {
  start({.postRate = 2});
  EXPECT_EQ(post(replayFile("ANNA", 1)).status, 200);
  EXPECT_EQ(post(replayFile("ANNA", 2)).status, 200);
  const HttpReply limited = post(replayFile("ANNA", 3));
  EXPECT_EQ(limited.status, 429);
  EXPECT_EQ(*limited.body, "busy: at most 2 games a minute are verified for one address\n");
  EXPECT_EQ(post(replayFile("ANNA", 3), "192.0.2.8").status, 200) << "another address";
  EXPECT_EQ(*get(kSubmit + "ANNA&myscore=4").body, "OK") << "submissions count apart";
  EXPECT_EQ(post(replayFile("", 5)).status, 422) << "what the header refuses costs no token";
  steadyMs_ += 60000;
  EXPECT_EQ(post(replayFile("ANNA", 6)).status, 200);
  EXPECT_EQ(fake_.calls, 4);
}

TEST_P(GameServiceTest, TheGamesOwnVerifierJudgesRecordedGames) {
  platform::setDataFolder(testing_support::gameFolder());
  ASSERT_EQ(server::verifierProblem(), "");
  start({}, server::replayVerifierJudges());
  const std::vector<std::uint8_t> won = testing_support::recordWonGame();
  replay::Replay more = replay::decode(won).replay.value();
  ++more.score;
  const HttpReply verified = post(asText(won));
  EXPECT_EQ(verified.status, 200) << *verified.body;
  EXPECT_EQ(verified.body->rfind("verified ", 0), 0u);
  const HttpReply pointMore = post(asText(replay::encode(more)));
  EXPECT_EQ(pointMore.status, 422);
  EXPECT_EQ(*pointMore.body, "refused: the game ends with " + std::to_string(more.score - 1) + " points, not the " +
                                 std::to_string(more.score) + " claimed\n");
  const HttpReply testKey = post(asText(testing_support::recordGameWithTestKey()));
  EXPECT_EQ(testKey.status, 422);
  EXPECT_EQ(*testKey.body, "refused: the test key 4 was used\n");
  const HttpReply continued = post(asText(testing_support::recordContinuedGame()));
  EXPECT_EQ(continued.status, 200) << *continued.body;
  const std::string json = *get("/api/v1/scores?verified=1").body;
  EXPECT_NE(json.find("\"total\":2,"), std::string::npos) << json;
  EXPECT_TRUE(metricSays("zebrolite_verification_duration_seconds_count 4"));
}

INSTANTIATE_TEST_SUITE_P(Stores, GameServiceTest, everyStore(), storeTestName);

}  // namespace
}  // namespace server_test
