// The score exchange: the reply parser on hostile replies, the request URLs, and the whole
// exchange against a server on the loopback interface.
#include "scores/score_upload.hpp"

#include <cstdlib>

#include "scores/high_score_screen.hpp"
#include "tests/scores/scores_fixture.hpp"
#include "tests/support/loopback_http_server.hpp"

namespace scores_test {
namespace {

using scores::ScoreTable;
using scores::UploadResult;
using testing_support::LoopbackHttpServer;
using Reply = LoopbackHttpServer::Reply;
using Records = std::vector<std::pair<std::u16string, std::uint32_t>>;

constexpr const char* kPath = "/Zebrolite2/updateScore_ppc.php";

// ";N0,5000;N1,4999..." with 101 records, and the first 100 of them.
std::string hundredRecords(Records* expected = nullptr) {
  std::string reply = "best scores";
  for (std::uint32_t j = 0; j < 101; ++j) {
    const std::string name = std::string("N").append(std::to_string(j));
    reply.append(";").append(name).append(",").append(std::to_string(5000 - j));
    if (expected != nullptr && j < 100) expected->emplace_back(std::u16string(name.begin(), name.end()), 5000 - j);
  }
  return reply;
}

TEST(ScoreReplyTest, ReadsRecordsUntilTheFirstMalformedOne) {
  Records hundred;
  hundredRecords(&hundred);
  const std::pair<std::string, Records> cases[] = {
      {"header;ANNA,500;BOB,400", {{u"ANNA", 500}, {u"BOB", 400}}},
      {hundredRecords(), hundred},
      {";ANNA,5;ABCDEFGHI,7;BOB,3", {{u"ANNA", 5}}},  // nine characters stop
      {";\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84,9", {{u"\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4", 9}}},
      {";A,12abc;B,7", {{u"A", 12}, {u"B", 7}}},
      {"; A, \t42;B,0", {{u" A", 42}, {u"B", 0}}},
      {";A,1;B,-5;C,2", {{u"A", 1}}},
      {";A,+5", {}},
      {";A,4294967295;B,4294967296", {{u"A", 4294967295u}}},
      {";A,00000000001", {}},  // eleven digits
      {";A,;B,2", {}},
      {";A,1;B", {{u"A", 1}}},
      {"<html>nothing here</html>", {}},
      {std::string(";A,1\0;B,2", 9), {{u"A", 1}}},  // a zero byte ends the text
      {std::string(8185, 'x') + ";A,5", {{u"A", 5}}},
      {std::string(8183, 'x') + ";B,1234", {{u"B", 1234}}},  // ends at the limit
      {std::string(8191, 'x') + ";A,5", {}},
  };
  for (const auto& [reply, expected] : cases) {
    const std::vector<char> bytes(reply.begin(), reply.end());  // no terminator after them
    Records got;
    for (const auto& r : scores::parseScoreReply(std::string_view(bytes.data(), bytes.size()))) got.emplace_back(r.name, r.score);
    EXPECT_EQ(got, expected) << reply.substr(0, 40);
  }
}

TEST(ScoreUrlTest, NamesArePercentEncodedUtf8AndTheServerHasItsDefaults) {
  scores::setScoreServer("http://scores.example:8080/");
  const std::string endpoint = std::string("http://scores.example:8080") + kPath;
  EXPECT_EQ(scores::scoreEndpoint(), endpoint);
  const std::tuple<std::u16string, std::uint32_t, std::string> cases[] = {
      {u"A B", 30, "?myname=A%20B&myscore=30"},
      {u"Zo\u00EB\u6F22", 7, "?myname=Zo%C3%AB%E6%BC%A2&myscore=7"},
      {u"a&b=c?%+", 2, "?myname=a%26b%3Dc%3F%25%2B&myscore=2"},
      {u"a-._~Z9", 4294967295u, "?myname=a-._~Z9&myscore=4294967295"},
  };
  for (const auto& [name, score, query] : cases) EXPECT_EQ(scores::submissionUrl(name, score), endpoint + query);
  ::setenv("ZEBROLITE_SCORE_SERVER", "http://from.environment", 1);
  scores::setScoreServer("");
  EXPECT_EQ(scores::scoreServer(), "http://from.environment");
  ::unsetenv("ZEBROLITE_SCORE_SERVER");
  scores::setScoreServer("");
  EXPECT_EQ(scores::scoreServer(), "http://127.0.0.1:8411");
}

// A table with two scores entered here: "A B" 500 at 0 and "Zoë" 300 at 1.
class ScoreExchangeTest : public ScoresTest {
 protected:
  void SetUp() override {
    ScoresTest::SetUp();
    ASSERT_TRUE(table.insertScore(u"A B", 500));
    ASSERT_TRUE(table.insertScore(u"Zo\u00EB", 300));
    before = scores::encodeScoreFile(table, 0, 1);
  }
  // A server answering the list request with `list` and the submissions with "OK", each as
  // the reply given; then the exchange against it.
  scores::UploadOutcome exchange(const std::string& list, Reply listReply = {}, Reply submissionReply = {}) {
    listReply.body = list;
    submissionReply.body = "OK";
    server = std::make_unique<LoopbackHttpServer>([=](const LoopbackHttpServer::Request& request) {
      return request.target == kPath ? listReply : submissionReply;
    });
    scores::setScoreServer(server->address());
    return scores::uploadScores(table);
  }
  bool unchanged() const { return scores::encodeScoreFile(table, 0, 1) == before; }
  void setPending(bool pending) {
    for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) table.entry(i).pendingUpload = pending ? 1 : 0;
    before = scores::encodeScoreFile(table, 0, 1);
  }

  ScoreTable table;
  std::vector<std::uint8_t> before;
  std::unique_ptr<LoopbackHttpServer> server;
};

TEST_F(ScoreExchangeTest, SendsThePendingScoresThenAppliesTheListOverOneConnection) {
  const scores::UploadOutcome outcome = exchange(";ANNA,900;BOB,800");
  EXPECT_EQ(outcome.result, UploadResult::Exchanged);
  EXPECT_EQ(outcome.submitted, 2u);
  EXPECT_EQ(outcome.recordsApplied, 2u);
  const auto requests = server->requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].target, std::string(kPath) + "?myname=A%20B&myscore=500");
  EXPECT_EQ(requests[1].target, std::string(kPath) + "?myname=Zo%C3%AB&myscore=300");
  EXPECT_EQ(requests[2].target, kPath);
  EXPECT_EQ(requests[2].userAgent, "ZebroliteHttp");
  EXPECT_EQ(server->connections(), 1u);
  const scores::ScoreEntry &first = table.entry(0), &second = table.entry(1), &third = table.entry(2);
  EXPECT_TRUE(first.nameText() == u"ANNA" && first.score == 900 && first.pendingUpload == 0);
  EXPECT_TRUE(second.nameText() == u"BOB" && second.score == 800 && second.pendingUpload == 0);
  EXPECT_TRUE(third.nameText() == u"PLAYER" && third.score == 100);
  // With nothing pending only the list is asked for.
  exchange(";CARL,950");
  ASSERT_EQ(server->requests().size(), 1u);
  EXPECT_EQ(table.entry(0).nameText(), u"CARL");
  // A hundred pending scores and the list share one connection too.
  setPending(true);
  EXPECT_EQ(exchange(";DORA,990").submitted, 100u);
  EXPECT_EQ(server->requests().size(), 101u);
  EXPECT_EQ(server->connections(), 1u);
}

TEST_F(ScoreExchangeTest, AFailureStopsTheExchangeAndKeepsTheTableAndItsPendingScores) {
  constexpr int kSlowMs = 20000;  // longer than any bound of these exchanges
  struct Case {
    const char* what;
    Reply list, submission;
    bool pending;
    UploadResult result;
    std::size_t requests;
  };
  const Case cases[] = {
      {"a refused score", {}, {500, "", 0, ""}, true, UploadResult::ScoreRefused, 1},
      {"a score redirected", {}, {302, "", 0, "/elsewhere"}, true, UploadResult::ScoreRefused, 1},
      {"a slow score", {}, {200, "", kSlowMs, ""}, true, UploadResult::TooSlow, 1},
      {"a slow list", {200, "", kSlowMs, ""}, {}, false, UploadResult::TooSlow, 1},
      {"an error page", {503, "", 0, ""}, {}, false, UploadResult::NoList, 1},
      {"no such page", {404, "", 0, ""}, {}, true, UploadResult::NoList, 3},
      {"a redirect", {302, "", 0, "/elsewhere"}, {}, false, UploadResult::NoList, 1},
  };
  // Ample for the quick cases on a loaded machine; the slow ones wait it out.
  scores::setUploadTimeouts({1000, 1000});
  for (const Case& c : cases) {
    setPending(false);
    table.entry(0).pendingUpload = c.pending ? 1 : 0;
    table.entry(1).pendingUpload = c.pending ? 1 : 0;
    before = scores::encodeScoreFile(table, 0, 1);
    // Every list body would change the table, were it taken.
    const scores::UploadOutcome outcome = exchange(";ANNA,900;BOB,800", c.list, c.submission);
    EXPECT_EQ(outcome.result, c.result) << c.what;
    EXPECT_EQ(server->requests().size(), c.requests) << c.what;
    EXPECT_TRUE(unchanged()) << c.what;
  }
  scores::setScoreServer(LoopbackHttpServer::closedAddress());
  EXPECT_EQ(scores::uploadScores(table).result, UploadResult::NotReached);
  EXPECT_TRUE(unchanged());
}

TEST_F(ScoreExchangeTest, AHundredScoresToASlowServerStopAtTheExchangesBound) {
  // Each submission is answered after a fifth of the exchange's time: at most six are made
  // (the sixth cut short), however slow the machine, and the list is never asked for.
  constexpr int kExchangeMs = 1000;
  constexpr int kAnswerMs = 200;
  setPending(true);
  scores::setUploadTimeouts({kExchangeMs, kExchangeMs});
  const scores::UploadOutcome outcome = exchange(";ANNA,900", {}, {200, "", kAnswerMs, ""});
  EXPECT_EQ(outcome.result, UploadResult::TooSlow);
  const auto requests = server->requests();
  EXPECT_GE(requests.size(), 1u);
  EXPECT_LE(requests.size(), static_cast<std::size_t>(kExchangeMs / kAnswerMs + 1));
  // The last one sent was cut short, unless the time ran out between two of them.
  EXPECT_GE(requests.size(), outcome.submitted);
  EXPECT_LE(requests.size(), outcome.submitted + 1);
  for (const auto& request : requests) EXPECT_NE(request.target, kPath);
  EXPECT_TRUE(unchanged());
}

TEST_F(ScoreExchangeTest, OnlyTheBodyOfA200ListIsAList) {
  setPending(false);
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256 == ';' ? ',' : (i * 7919) % 256));
  for (const auto& [status, body, result] : {std::tuple{503, std::string(";ANNA,900"), UploadResult::NoList},
                                              {301, std::string(";ANNA,900"), UploadResult::NoList},
                                              {404, std::string(), UploadResult::NoList},
                                              {200, garbage, UploadResult::Exchanged},
                                              {200, std::string(), UploadResult::Exchanged}}) {
    const scores::UploadOutcome outcome = exchange(body, {status, "", 0, ""});
    EXPECT_TRUE(outcome.result == result && outcome.recordsApplied == 0 && unchanged()) << status;
  }
}

TEST_F(ScoresTest, AfterAnyListThePicturesShowWhatTheTableHolds) {
  scores::HighScoreScreen screen;
  const auto upload = [&](const std::string& list) {
    LoopbackHttpServer server([&](const LoopbackHttpServer::Request&) { return Reply{200, list, 0, ""}; });
    scores::setScoreServer(server.address());
    screen.uploadScores();
  };
  upload(";ANNA,900;BOB,800");
  EXPECT_EQ(screen.table().entry(0).nameText(), u"ANNA");
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 48);
  EXPECT_EQ(screen.table().entry(1).scorePicture.width, 36);
  EXPECT_EQ(screen.table().entry(2).namePicture.width, 72);  // still "PLAYER"
  upload(hundredRecords());
  EXPECT_EQ(screen.table().entry(99).score, 4901u);
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 24);  // "N0"
  EXPECT_EQ(screen.table().entry(99).namePicture.width, 36);
}

}  // namespace
}  // namespace scores_test
