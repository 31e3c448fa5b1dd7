#include "scores/score_upload.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "scores/high_score_screen.hpp"
#include "tests/scores/scores_fixture.hpp"
#include "tests/support/loopback_http_server.hpp"

namespace scores_test {
namespace {

using scores::ScoreTable;
using testing_support::LoopbackHttpServer;
using Records = std::vector<std::pair<std::u16string, std::uint32_t>>;

constexpr const char* kPath = "/Zebrolite2/updateScore_ppc.php";

std::string hundredRecords(Records* expected) {
  std::string reply = "best scores";
  for (std::uint32_t j = 0; j < 101; ++j) {
    const std::string name = std::string("N").append(std::to_string(j));
    reply.append(";").append(name).append(",").append(std::to_string(5000 - j));
    if (expected != nullptr && j < 100) expected->emplace_back(std::u16string(name.begin(), name.end()), 5000 - j);
  }
  return reply;
}

Records expectedHundred() {
  Records records;
  hundredRecords(&records);
  return records;
}

TEST(ScoreReplyTest, ReadsRecordsUntilTheFirstMalformedOne) {
  struct Case {
    const char* what;
    std::string reply;
    Records expected;
  };
  const std::string nearLimit = std::string(8185, 'x') + ";A,5";
  std::string unterminated = std::string(8183, 'x') + ";B,1234";
  const Case cases[] = {
      {"two records", "header;ANNA,500;BOB,400", {{u"ANNA", 500}, {u"BOB", 400}}},
      {"a hundred of a hundred and one", hundredRecords(nullptr), expectedHundred()},
      {"nine characters stop", ";ANNA,5;ABCDEFGHI,7;BOB,3", {{u"ANNA", 5}}},
      {"eight characters beyond ASCII", ";\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84,9",
       {{u"\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4", 9}}},
      {"digits then text", ";A,12abc;B,7", {{u"A", 12}, {u"B", 7}}},
      {"leading blanks", "; A, \t42;B,0", {{u" A", 42}, {u"B", 0}}},
      {"minus sign", ";A,1;B,-5;C,2", {{u"A", 1}}},
      {"plus sign", ";A,+5", {}},
      {"largest score", ";A,4294967295", {{u"A", 4294967295u}}},
      {"beyond 32 bits", ";A,1;B,4294967296", {{u"A", 1}}},
      {"eleven digits", ";A,00000000001", {}},
      {"no score", ";A,;B,2", {}},
      {"missing comma", ";A,1;B", {{u"A", 1}}},
      {"no records", "<html>nothing here</html>", {}},
      {"zero byte ends the text", std::string(";A,1\0;B,2", 9), {{u"A", 1}}},
      {"record inside the limit", nearLimit, {{u"A", 5}}},
      {"record beyond the limit", std::string(8191, 'x') + ";A,5", {}},
      {"record ending at the limit", unterminated, {{u"B", 1234}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The reply is handed over as bytes without a terminator after them.
    const std::vector<char> bytes(c.reply.begin(), c.reply.end());
    const auto records = scores::parseScoreReply(std::string_view(bytes.data(), bytes.size()));
    Records got;
    for (const auto& r : records) got.emplace_back(r.name, r.score);
    EXPECT_EQ(got, c.expected);
  }
}

TEST(ScoreUrlTest, NamesArePercentEncodedUtf8) {
  scores::setScoreServer("http://scores.example:8080/");
  const std::string endpoint = std::string("http://scores.example:8080") + kPath;
  EXPECT_EQ(scores::scoreEndpoint(), endpoint);
  struct Case {
    std::u16string name;
    std::uint32_t score;
    std::string query;
  };
  const Case cases[] = {
      {u"A B", 30, "?myname=A%20B&myscore=30"},
      {u"Zo\u00EB", 7, "?myname=Zo%C3%AB&myscore=7"},
      {u"\u00C5\u6F22", 1, "?myname=%C3%85%E6%BC%A2&myscore=1"},
      {u"a&b=c?%+", 2, "?myname=a%26b%3Dc%3F%25%2B&myscore=2"},
      {u"a-._~Z9", 4294967295u, "?myname=a-._~Z9&myscore=4294967295"},
  };
  for (const Case& c : cases) EXPECT_EQ(scores::submissionUrl(c.name, c.score), endpoint + c.query);
  scores::setScoreServer("");
}

TEST(ScoreUrlTest, ServerDefaultsToTheEnvironmentThenLoopback) {
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
  void expectUnchanged() const { EXPECT_EQ(scores::encodeScoreFile(table, 0, 1), before); }

  ScoreTable table;
  std::vector<std::uint8_t> before;
};

LoopbackHttpServer::Handler listReply(std::string list) {
  return [list](const LoopbackHttpServer::Request& request) {
    LoopbackHttpServer::Reply reply;
    reply.body = request.target == kPath ? list : "thanks";
    return reply;
  };
}

TEST_F(ScoreExchangeTest, SendsPendingScoresThenAppliesTheList) {
  LoopbackHttpServer server(listReply(";ANNA,900;BOB,800"));
  scores::setScoreServer(server.address());
  const scores::UploadOutcome outcome = scores::uploadScores(table);
  EXPECT_EQ(outcome.submitted, 2u);
  EXPECT_EQ(outcome.recordsApplied, 2u);
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].target, std::string(kPath) + "?myname=A%20B&myscore=500");
  EXPECT_EQ(requests[1].target, std::string(kPath) + "?myname=Zo%C3%AB&myscore=300");
  EXPECT_EQ(requests[2].target, kPath);
  for (const auto& request : requests) EXPECT_EQ(request.userAgent, "ZebroliteHttp");
  EXPECT_EQ(table.entry(0).nameText(), u"ANNA");
  EXPECT_EQ(table.entry(0).score, 900u);
  EXPECT_EQ(table.entry(0).pendingUpload, 0);
  EXPECT_EQ(table.entry(1).nameText(), u"BOB");
  EXPECT_EQ(table.entry(1).pendingUpload, 0);
  EXPECT_EQ(table.entry(2).nameText(), u"PLAYER");
  EXPECT_EQ(table.entry(2).score, 100u);
}

TEST_F(ScoreExchangeTest, WithoutPendingScoresOnlyTheListIsAsked) {
  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) table.entry(i).pendingUpload = 0;
  LoopbackHttpServer server(listReply(";ANNA,900"));
  scores::setScoreServer(server.address());
  scores::uploadScores(table);
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, kPath);
}

TEST_F(ScoreExchangeTest, ServerDownChangesNothing) {
  scores::setScoreServer(LoopbackHttpServer::closedAddress());
  const scores::UploadOutcome outcome = scores::uploadScores(table);
  EXPECT_TRUE(outcome.sessionOpened);
  EXPECT_TRUE(outcome.submissionFailed);
  EXPECT_FALSE(outcome.listReceived);
  expectUnchanged();
}

TEST_F(ScoreExchangeTest, SlowServerIsGivenUp) {
  scores::setUploadTimeouts({200, 300});
  LoopbackHttpServer server([](const LoopbackHttpServer::Request&) {
    LoopbackHttpServer::Reply reply;
    reply.body = ";ANNA,900";
    reply.delayMs = 20000;
    return reply;
  });
  scores::setScoreServer(server.address());
  const scores::UploadOutcome outcome = scores::uploadScores(table);
  EXPECT_TRUE(outcome.submissionFailed);
  EXPECT_EQ(server.requests().size(), 1u);
  expectUnchanged();

  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) table.entry(i).pendingUpload = 0;
  before = scores::encodeScoreFile(table, 0, 1);
  EXPECT_FALSE(scores::uploadScores(table).listReceived);
  expectUnchanged();
}

TEST_F(ScoreExchangeTest, FailedSubmissionKeepsTheTableForNextTime) {
  LoopbackHttpServer refusing([](const LoopbackHttpServer::Request& request) {
    LoopbackHttpServer::Reply reply;
    reply.status = request.target == kPath ? 200 : 500;
    reply.body = ";ANNA,900;BOB,800";
    return reply;
  });
  scores::setScoreServer(refusing.address());
  const scores::UploadOutcome outcome = scores::uploadScores(table);
  EXPECT_TRUE(outcome.submissionFailed);
  EXPECT_EQ(refusing.requests().size(), 1u);
  expectUnchanged();

  LoopbackHttpServer working(listReply(";ANNA,900;BOB,800"));
  scores::setScoreServer(working.address());
  scores::uploadScores(table);
  EXPECT_EQ(working.requests().size(), 3u);
  EXPECT_EQ(table.entry(0).pendingUpload, 0);
}

TEST_F(ScoreExchangeTest, ErrorStatusOrGarbageListChangesNothing) {
  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) table.entry(i).pendingUpload = 0;
  before = scores::encodeScoreFile(table, 0, 1);
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256 == ';' ? 0 : (i * 7919) % 256));
  struct Case {
    int status;
    std::string body;
    bool received;
  };
  const Case cases[] = {{503, ";ANNA,900", false}, {404, "", false}, {200, garbage, true}, {200, "", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    LoopbackHttpServer server([&c](const LoopbackHttpServer::Request&) {
      return LoopbackHttpServer::Reply{c.status, c.body, 0};
    });
    scores::setScoreServer(server.address());
    const scores::UploadOutcome outcome = scores::uploadScores(table);
    EXPECT_EQ(outcome.listReceived, c.received);
    EXPECT_EQ(outcome.recordsApplied, 0u);
    expectUnchanged();
  }
}

TEST_F(ScoresTest, PicturesAreRebuiltOnlyAfterAFullList) {
  scores::HighScoreScreen screen;
  {
    LoopbackHttpServer server(listReply(";ANNA,900;BOB,800"));
    scores::setScoreServer(server.address());
    screen.uploadScores();
  }
  EXPECT_EQ(screen.table().entry(0).nameText(), u"ANNA");
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 72);  // still "PLAYER"

  LoopbackHttpServer server(listReply(hundredRecords(nullptr)));
  scores::setScoreServer(server.address());
  screen.uploadScores();
  EXPECT_EQ(screen.table().entry(99).nameText(), u"N99");
  EXPECT_EQ(screen.table().entry(99).score, 4901u);
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 24);  // "N0"
  EXPECT_EQ(screen.table().entry(99).namePicture.width, 36);
}

}  // namespace
}  // namespace scores_test
