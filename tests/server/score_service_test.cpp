// Everything the server answers, through the service without sockets: the game's protocol
// byte for byte, refusals, the rate limit with resubmissions, ETags, the JSON API's checks.
#include <future>

#include "server/score_service.hpp"
#include "server/sqlite_store.hpp"
#include "server/verification_pool.hpp"
#include "tests/server/store_fixture.hpp"

namespace server_test {
namespace {

using server::HttpReply;
using server::HttpRequest;

constexpr server::UnixTime kNow = 1709726400;  // 2024-03-06T12:00:00Z
const std::string kGame(server::kGamePath);

// Verifiers for the routes that post no replay.
server::JudgeFactory refusingJudges() {
  return [] { return server::Judge([](std::span<const std::uint8_t>) { return app::Verdict{}; }); };
}

class ServiceTest : public StoreTest {
 protected:
  void makeService(std::uint32_t submitRate = 30, bool trustProxy = false) {
    server::ScoreService::Config config;
    config.submitRate = submitRate;
    config.trustProxy = trustProxy;
    config.instance = "t";
    service_ = std::make_unique<server::ScoreService>(
        store(), runner_, pool_, metrics_, config, [this] { return now_; }, [this] { return steadyMs_; });
  }

  HttpReply get(const std::string& target, const std::string& peer = "192.0.2.7", const std::string& ifNoneMatch = "",
                const std::string& method = "GET") {
    if (!service_) makeService();
    HttpRequest request;
    request.method = method;
    request.target = target;
    request.peer = peer;
    request.ifNoneMatch = ifNoneMatch;
    std::promise<HttpReply> reply;
    service_->handle(request, [&reply](HttpReply r) { reply.set_value(std::move(r)); });
    return reply.get_future().get();
  }

  std::string body(const std::string& target, const std::string& peer = "192.0.2.7") { return *get(target, peer).body; }

  static std::string submission(const std::string& name, std::uint32_t score) {
    return kGame + "?myname=" + name + "&myscore=" + std::to_string(score);
  }

  server::UnixTime now_ = kNow;
  std::int64_t steadyMs_ = 1000;
  server::InlineRunner runner_;
  server::Metrics metrics_;
  server::VerificationPool pool_{1, 4, std::chrono::seconds(2), refusingJudges()};
  std::unique_ptr<server::ScoreService> service_;
};

TEST_P(ServiceTest, TheGamesProtocolByteForByte) {
  EXPECT_EQ(body(kGame), "");
  const HttpReply ok = get(submission("ANNA", 500));
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(*ok.body, "OK");
  EXPECT_EQ(ok.contentType, "text/plain; charset=utf-8");
  EXPECT_EQ(body(submission("BOB", 400)), "OK");
  EXPECT_EQ(body(submission("CAT", 500)), "OK");
  EXPECT_EQ(body(submission("A%20B", 30)), "OK");
  EXPECT_EQ(body(submission("%C3%A9", 30)), "OK");
  const HttpReply list = get(kGame);
  EXPECT_EQ(list.status, 200);
  EXPECT_EQ(list.route, server::Route::GameList);
  EXPECT_EQ(list.contentType, "text/plain; charset=utf-8");
  EXPECT_EQ(*list.body, ";ANNA,500;CAT,500;BOB,400;A B,30;\xC3\xA9,30");
  EXPECT_EQ(body(kGame + "?"), *list.body);  // an empty query is no query
}

TEST_P(ServiceTest, ARefusalIsA400WithOneLineAndStoresNothing) {
  for (const char* query : {"myname=A%2CB&myscore=5", "myname=ABCDEFGHI&myscore=5", "myname=A&myscore=0",
                                  "myname=A&myname=B&myscore=1", "myname=%zz&myscore=1", "x=1"}) {
    const HttpReply reply = get(kGame + "?" + std::string(query));
    EXPECT_EQ(reply.status, 400) << query;
    ASSERT_FALSE(reply.body->empty());
    EXPECT_EQ(reply.body->back(), '\n');
    EXPECT_EQ(reply.body->find('\n'), reply.body->size() - 1) << *reply.body;
  }
  EXPECT_EQ(body(kGame), "");
  EXPECT_NE(metrics_.render().find("zebrolite_submissions_total{result=\"invalid\"} 6"), std::string::npos);
}

TEST_P(ServiceTest, TheListFollowsSubmissionsAndModerationFromAnotherProcess) {
  get(submission("ANNA", 500));
  EXPECT_EQ(body(kGame), ";ANNA,500");
  get(submission("BOB", 600));
  EXPECT_EQ(body(kGame), ";BOB,600;ANNA,500");
  std::unique_ptr<server::ScoreStore> moderator = another();
  ASSERT_TRUE(moderator->setBanned("BOB", true, "mod", kNow).value);
  EXPECT_TRUE(eventually([&] { return body(kGame) == ";ANNA,500"; })) << body(kGame);
  const std::int64_t anna = moderator->recent(10).value.back().id;
  ASSERT_TRUE(moderator->setHidden(anna, true, "mod", kNow).value);
  EXPECT_TRUE(eventually([&] { return body(kGame).empty(); })) << body(kGame);
  EXPECT_EQ(*get("/api/v1/scores").body, *get("/api/v1/scores").body);
  EXPECT_NE(get("/api/v1/scores").body->find("\"entries\":[]"), std::string::npos);
  EXPECT_EQ(submitNow(*moderator, "CAT", 300, kNow), server::SubmitOutcome::Stored);
  EXPECT_TRUE(eventually([&] { return body(kGame) == ";CAT,300"; })) << body(kGame);
}

// The client resubmits every pending entry at each exchange: pairs already stored pass
// without a token, so a device with more pending entries than a bucket holds gets through
// a few more at each exchange.
TEST_P(ServiceTest, TheRateLimitCountsOnlyNewEntries) {
  makeService(3);
  const auto exchange = [this] {
    std::vector<int> statuses;
    for (std::uint32_t i = 1; i <= 8; ++i) statuses.push_back(get(submission("DEV", i)).status);
    return statuses;
  };
  EXPECT_EQ(exchange(), (std::vector<int>{200, 200, 200, 429, 429, 429, 429, 429}));
  EXPECT_EQ(get(submission("OTHER", 1), "192.0.2.8").status, 200);  // another address
  steadyMs_ += 60000;
  EXPECT_EQ(exchange(), (std::vector<int>{200, 200, 200, 200, 200, 200, 429, 429}));
  steadyMs_ += 60000;
  EXPECT_EQ(exchange(), (std::vector<int>(8, 200)));
  EXPECT_EQ(exchange(), (std::vector<int>(8, 200)));  // no token needed any more
  for (std::uint32_t i = 100; i < 103; ++i) get(submission("DEV", i));  // the last token, then two refusals
  const HttpReply refused = get(submission("DEV", 200));
  EXPECT_EQ(refused.status, 429);
  EXPECT_NE(refused.body->find("at most 3 a minute"), std::string::npos);
  EXPECT_NE(metrics_.render().find("zebrolite_submissions_total{result=\"rate_limited\"}"), std::string::npos);
}

TEST_P(ServiceTest, ARateOfZeroLimitsNothing) {
  makeService(0);
  for (std::uint32_t i = 1; i <= 100; ++i) ASSERT_EQ(get(submission("MANY", i)).status, 200);
}

TEST_P(ServiceTest, TheClientAddressComesFromAProxyOnlyWhenTrustedAndLocal) {
  makeService(30, true);
  HttpRequest request;
  request.peer = "127.0.0.1";
  request.realIp = " 203.0.113.9 ";
  EXPECT_EQ(service_->clientAddress(request), "203.0.113.9");
  request.realIp = "";
  request.forwardedFor = "10.1.1.1, 203.0.113.10";
  EXPECT_EQ(service_->clientAddress(request), "203.0.113.10");
  request.peer = "198.51.100.1";  // not a local proxy: its headers are the client's own words
  EXPECT_EQ(service_->clientAddress(request), "198.51.100.1");
  makeService(30, false);
  request.peer = "127.0.0.1";
  EXPECT_EQ(service_->clientAddress(request), "127.0.0.1");
}

TEST_P(ServiceTest, ListsCarryAnETagThatAnswers304UntilTheyChange) {
  get(submission("ANNA", 500));
  for (const std::string& target : {kGame, std::string("/api/v1/scores?board=week"), std::string("/api/v1/rank?name=ANNA"),
                                    std::string("/?board=week")}) {
    const HttpReply first = get(target);
    ASSERT_EQ(first.status, 200) << target;
    ASSERT_FALSE(first.etag.empty());
    EXPECT_EQ(first.cacheControl, "public, max-age=5");
    const HttpReply again = get(target, "192.0.2.7", first.etag);
    EXPECT_EQ(again.status, 304) << target;
    EXPECT_TRUE(again.body->empty());
    EXPECT_EQ(get(target, "192.0.2.7", "\"other\", W/" + first.etag).status, 304);
    EXPECT_EQ(get(target, "192.0.2.7", "*").status, 304);
    EXPECT_EQ(get(target, "192.0.2.7", "\"other\"").status, 200);
  }
  const std::string listTag = get(kGame).etag;
  const std::string weekTag = get("/api/v1/scores?board=week").etag;
  const std::string pageTag = get("/?board=week").etag;
  get(submission("BOB", 1));
  EXPECT_EQ(get(kGame, "192.0.2.7", listTag).status, 200);
  EXPECT_EQ(get("/?board=week", "192.0.2.7", pageTag).status, 200);
  now_ += 7 * 86400;  // a new week: the board is another one
  EXPECT_NE(get("/api/v1/scores?board=week").etag, weekTag);
}

TEST_P(ServiceTest, TheScoresApiChecksItsQuery) {
  for (std::uint32_t i = 1; i <= 30; ++i) get(submission(numbered("P", i), i));
  const HttpReply page = get("/api/v1/scores?board=all&offset=2&limit=3");
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.contentType, "application/json");
  EXPECT_NE(page.body->find("\"offset\":2,\"limit\":3,\"total\":30,\"entries\":[{\"rank\":3,\"name\":\"P28\""),
            std::string::npos)
      << *page.body;
  EXPECT_NE(get("/api/v1/scores").body->find("\"limit\":20"), std::string::npos);
  EXPECT_EQ(get("/api/v1/scores?limit=100").status, 200);
  const struct {
    const char* query;
    const char* reason;
  } bad[] = {
      {"board=year", "board must be"}, {"limit=0", "limit must be"},      {"limit=101", "limit must be"},
      {"limit=-1", "limit must be"},   {"offset=x", "offset must be"},    {"offset=1e3", "offset must be"},
      {"sort=score", "unknown query key"}, {"limit=5&limit=6", "more than once"}, {"board", "without '='"},
  };
  for (const auto& b : bad) {
    const HttpReply reply = get(std::string("/api/v1/scores?") + b.query);
    EXPECT_EQ(reply.status, 400) << b.query;
    EXPECT_EQ(reply.contentType, "application/json");
    EXPECT_NE(reply.body->find(b.reason), std::string::npos) << *reply.body;
    EXPECT_EQ(reply.body->rfind("{\"error\":", 0), 0u);
  }
}

TEST_P(ServiceTest, TheRankApi) {
  get(submission("ANNA", 500));
  get(submission("BOB", 400));
  const HttpReply rank = get("/api/v1/rank?name=BOB&board=day");
  EXPECT_EQ(rank.status, 200);
  EXPECT_NE(rank.body->find("\"entry\":{\"rank\":2,\"name\":\"BOB\""), std::string::npos) << *rank.body;
  EXPECT_NE(rank.body->find("\"above\":[{\"rank\":1,\"name\":\"ANNA\""), std::string::npos);
  EXPECT_EQ(get("/api/v1/rank?name=NOBODY").status, 404);
  EXPECT_EQ(get("/api/v1/rank").status, 400);
  EXPECT_EQ(get("/api/v1/rank?name=A%2CB").status, 400);
  EXPECT_EQ(get("/api/v1/rank?name=BOB&board=ever").status, 400);
}

TEST_P(ServiceTest, RoutesMethodsAndOperations) {
  EXPECT_EQ(get("/nothing/here").status, 404);
  EXPECT_EQ(get("/Zebrolite2/updateScore_ppc.phpx").status, 404);
  const HttpReply post = get(kGame, "192.0.2.7", "", "POST");
  EXPECT_EQ(post.status, 405);
  EXPECT_EQ(post.allow, "GET, HEAD");
  EXPECT_EQ(get(kGame, "192.0.2.7", "", "HEAD").status, 200);
  EXPECT_EQ(get(kGame + "?myname=A&myscore=1", "192.0.2.7", "", "HEAD").status, 405);
  EXPECT_EQ(body(kGame), "");
  EXPECT_EQ(body("/healthz"), "ok\n");
  EXPECT_EQ(get("/").status, 200);
  get(submission("ANNA", 500));
  get(submission("ANNA", 500));
  const std::string metrics = body("/metrics");
  EXPECT_NE(metrics.find("zebrolite_submissions_total{result=\"stored\"} 1"), std::string::npos) << metrics;
  EXPECT_NE(metrics.find("zebrolite_submissions_total{result=\"already_stored\"} 1"), std::string::npos);
  EXPECT_NE(metrics.find("# TYPE zebrolite_http_request_duration_seconds histogram"), std::string::npos);
}

TEST_P(ServiceTest, ThePageShowsEachBoardAndNothingHiddenOrBanned) {
  now_ = kNow - 7 * 86400;
  get(submission("OLD", 900));
  now_ = kNow;
  get(submission("ANNA", 500));
  get(submission("%3Cscript%3E", 400));
  get(submission("HIDDEN", 300));
  get(submission("BANNED", 200));
  std::unique_ptr<server::ScoreStore> moderator = another();
  ASSERT_TRUE(moderator->setBanned("BANNED", true, "mod", kNow).value);
  for (const server::SubmissionRecord& record : moderator->recent(10).value) {
    if (record.name == "HIDDEN") {
      ASSERT_TRUE(moderator->setHidden(record.id, true, "mod", kNow).value);
    }
  }

  const HttpReply all = get("/");
  EXPECT_EQ(all.status, 200);
  EXPECT_EQ(all.route, server::Route::Page);
  EXPECT_EQ(all.contentType, "text/html; charset=utf-8");
  EXPECT_NE(all.contentSecurityPolicy.find("default-src 'none'"), std::string::npos);
  EXPECT_EQ(*all.body, *get("/?board=all").body);
  const std::size_t old = all.body->find(">OLD<");
  const std::size_t anna = all.body->find(">ANNA<");
  const std::size_t script = all.body->find(">&lt;script&gt;<");
  ASSERT_NE(old, std::string::npos);
  ASSERT_NE(anna, std::string::npos);
  ASSERT_NE(script, std::string::npos);
  EXPECT_LT(old, anna);
  EXPECT_LT(anna, script);
  EXPECT_EQ(all.body->find("HIDDEN"), std::string::npos);
  EXPECT_EQ(all.body->find("BANNED"), std::string::npos);
  EXPECT_NE(all.body->find(">3 scores<"), std::string::npos);

  const HttpReply week = get("/?board=week");
  EXPECT_EQ(week.status, 200);
  EXPECT_EQ(week.body->find(">OLD<"), std::string::npos);  // last week's
  EXPECT_NE(week.body->find(">ANNA<"), std::string::npos);
  EXPECT_NE(week.body->find("/?board=week\" aria-current=\"page\""), std::string::npos);
  EXPECT_EQ(get("/", "192.0.2.7", "", "HEAD").status, 200);
}

TEST_P(ServiceTest, ABadPageQueryIsA400PageWithOneLine) {
  const struct {
    const char* target;
    const char* reason;
  } bad[] = {
      {"/?board=year", "board must be all, day, week or month"},
      {"/?board=", "board must be all, day, week or month"},
      {"/?board=week&board=day", "query key &#39;board&#39; given more than once"},
      {"/?verified=yes", "verified must be 0 or 1"},
      {"/?board", "query part without &#39;=&#39;"},
      {"/?board=%zz", "bad percent escape"},
  };
  for (const auto& b : bad) {
    const HttpReply reply = get(b.target);
    EXPECT_EQ(reply.status, 400) << b.target;
    EXPECT_EQ(reply.contentType, "text/html; charset=utf-8");
    EXPECT_TRUE(reply.etag.empty());
    const std::size_t line = reply.body->find("<p class=\"empty message\">");
    ASSERT_NE(line, std::string::npos) << *reply.body;
    const std::size_t end = reply.body->find("</p>", line);
    const std::string text = reply.body->substr(line, end - line);
    EXPECT_NE(text.find(b.reason), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos);
  }
}

// A link shared on a social site or in a mail comes back with keys of the site's own.
TEST_P(ServiceTest, ThePageIgnoresKeysItDoesNotKnowWhereProgramsAreRefused) {
  get(submission("ANNA", 500));
  const std::string all = *get("/").body;
  const std::string week = *get("/?board=week").body;
  const std::string longTag(600, 'x');
  for (const std::string& target : std::vector<std::string>{"/?fbclid=IwAR3abc", "/?utm_source=mastodon&utm_medium=social&", "/?sort&%zz=1&=x",
                                   "/?gclid=" + longTag}) {
    const HttpReply page = get(target);
    EXPECT_EQ(page.status, 200) << target;
    EXPECT_EQ(*page.body, all) << target;
  }
  EXPECT_EQ(*get("/?fbclid=abc&board=week").body, week);
  EXPECT_EQ(get("/?fbclid=abc&board=week&board=day").status, 400) << "its own keys are still checked";
  EXPECT_EQ(get("/api/v1/scores?fbclid=abc").status, 400);
  EXPECT_EQ(get("/api/v1/rank?name=ANNA&fbclid=abc").status, 400);
  EXPECT_EQ(get(kGame + "?myname=ANNA&myscore=500&fbclid=abc").status, 400);
}

// A runner whose queue is always full.
class FullRunner final : public server::WorkRunner {
 public:
  bool post(std::function<void()>) override { return false; }
};

TEST_P(ServiceTest, WorkThatCannotBeQueuedIsA503ToRetry) {
  FullRunner full;
  server::Metrics metrics;
  server::VerificationPool pool(1, 4, std::chrono::seconds(2), refusingJudges());
  server::ScoreService service(store(), full, pool, metrics, {}, [] { return kNow; }, [] { return 0; });
  for (const char* target : {"/Zebrolite2/updateScore_ppc.php", "/api/v1/scores", "/api/v1/rank?name=A", "/healthz", "/"}) {
    HttpRequest request;
    request.method = "GET";
    request.target = target;
    HttpReply reply;
    service.handle(request, [&reply](HttpReply r) { reply = std::move(r); });
    EXPECT_EQ(reply.status, 503) << target;
    EXPECT_EQ(reply.retryAfter, "1");
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, ServiceTest, everyStore(), storeTestName);

TEST(ServiceFullDiskTest, AFullStoreIsA503) {
  testing_support::ScratchFolder scratch;
  server::SqliteStore::Options options;
  options.maxPageCount = 12;
  std::string error;
  std::unique_ptr<server::SqliteStore> store = server::SqliteStore::open(scratch.file("s.db"), options, error);
  ASSERT_TRUE(store) << error;
  server::InlineRunner runner;
  server::Metrics metrics;
  server::VerificationPool pool(1, 4, std::chrono::seconds(2), refusingJudges());
  server::ScoreService service(*store, runner, pool, metrics, {0, 16, false, "t"}, [] { return kNow; }, [] { return 0; });
  int status = 200;
  for (int i = 1; i < 5000 && status == 200; ++i) {
    const std::string target = kGame + "?myname=N" + std::to_string(i) + "&myscore=" + std::to_string(i);
    HttpRequest request;
    request.method = "GET";
    request.target = target;
    std::promise<int> done;
    service.handle(request, [&done](HttpReply r) { done.set_value(r.status); });
    status = done.get_future().get();
  }
  EXPECT_EQ(status, 503);
  EXPECT_NE(metrics.render().find("zebrolite_store_errors_total{kind=\"full\"} 1"), std::string::npos);
}

}  // namespace
}  // namespace server_test
