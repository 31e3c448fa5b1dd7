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
using testing_support::LoopbackHttpServer;
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
  // A server answering the list request with `status` and `list`, the submissions with
  // `submissionStatus`, each after `delayMs`; then the exchange against it.
  scores::UploadOutcome exchange(const std::string& list, int status = 200, int submissionStatus = 200, int delayMs = 0) {
    server = std::make_unique<LoopbackHttpServer>([=](const LoopbackHttpServer::Request& request) {
      const bool isList = request.target == kPath;
      return LoopbackHttpServer::Reply{isList ? status : submissionStatus, isList ? list : "thanks", delayMs};
    });
    scores::setScoreServer(server->address());
    return scores::uploadScores(table);
  }
  bool unchanged() const { return scores::encodeScoreFile(table, 0, 1) == before; }
  void clearPending() {
    for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) table.entry(i).pendingUpload = 0;
    before = scores::encodeScoreFile(table, 0, 1);
  }

  ScoreTable table;
  std::vector<std::uint8_t> before;
  std::unique_ptr<LoopbackHttpServer> server;
};

TEST_F(ScoreExchangeTest, SendsThePendingScoresThenAppliesTheList) {
  EXPECT_EQ(exchange(";ANNA,900;BOB,800").recordsApplied, 2u);
  const auto requests = server->requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].target, std::string(kPath) + "?myname=A%20B&myscore=500");
  EXPECT_EQ(requests[1].target, std::string(kPath) + "?myname=Zo%C3%AB&myscore=300");
  EXPECT_EQ(requests[2].target, kPath);
  EXPECT_EQ(requests[2].userAgent, "ZebroliteHttp");
  const scores::ScoreEntry &first = table.entry(0), &second = table.entry(1), &third = table.entry(2);
  EXPECT_TRUE(first.nameText() == u"ANNA" && first.score == 900 && first.pendingUpload == 0);
  EXPECT_TRUE(second.nameText() == u"BOB" && second.score == 800 && second.pendingUpload == 0);
  EXPECT_TRUE(third.nameText() == u"PLAYER" && third.score == 100);
  // With nothing pending only the list is asked for.
  exchange(";CARL,950");
  ASSERT_EQ(server->requests().size(), 1u);
  EXPECT_EQ(table.entry(0).nameText(), u"CARL");
}

TEST_F(ScoreExchangeTest, AFailedSubmissionKeepsTheTableAndItsPendingScoresForNextTime) {
  scores::setScoreServer(LoopbackHttpServer::closedAddress());
  const scores::UploadOutcome down = scores::uploadScores(table);
  EXPECT_TRUE(down.sessionOpened && down.submissionFailed && !down.listReceived);
  EXPECT_TRUE(unchanged());
  EXPECT_TRUE(exchange(";ANNA,900", 200, 500).submissionFailed);
  EXPECT_EQ(server->requests().size(), 1u);  // the rest are not tried, no list is asked for
  EXPECT_TRUE(unchanged());
  scores::setUploadTimeouts({200, 300});
  EXPECT_TRUE(exchange(";ANNA,900", 200, 200, 20000).submissionFailed);  // a server too slow is given up
  EXPECT_TRUE(unchanged());
  EXPECT_EQ(exchange(";ANNA,900").recordsApplied, 1u);
  EXPECT_EQ(server->requests().size(), 3u);
  clearPending();
  EXPECT_FALSE(exchange(";ANNA,900", 200, 200, 20000).listReceived);
  EXPECT_TRUE(unchanged());
}

TEST_F(ScoreExchangeTest, AnErrorStatusOrAGarbageListChangesNothing) {
  clearPending();
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256 == ';' ? ',' : (i * 7919) % 256));
  for (const auto& [status, body, received] : {std::tuple{503, std::string(";ANNA,900"), false},
                                                {404, std::string(), false}, {200, garbage, true}, {200, std::string(), true}}) {
    const scores::UploadOutcome outcome = exchange(body, status);
    EXPECT_TRUE(outcome.listReceived == received && outcome.recordsApplied == 0 && unchanged()) << status;
  }
}

TEST_F(ScoresTest, PicturesAreRebuiltOnlyAfterAFullList) {
  scores::HighScoreScreen screen;
  const auto upload = [&](const std::string& list) {
    LoopbackHttpServer server([&](const LoopbackHttpServer::Request&) { return LoopbackHttpServer::Reply{200, list, 0}; });
    scores::setScoreServer(server.address());
    screen.uploadScores();
  };
  upload(";ANNA,900;BOB,800");
  EXPECT_EQ(screen.table().entry(0).nameText(), u"ANNA");
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 72);  // still "PLAYER"
  upload(hundredRecords());
  EXPECT_EQ(screen.table().entry(99).score, 4901u);
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 24);  // "N0"
  EXPECT_EQ(screen.table().entry(99).namePicture.width, 36);
}

}  // namespace
}  // namespace scores_test
