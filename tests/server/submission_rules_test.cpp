// What the game's protocol accepts as a submission: every refusal is a reason, and what is
// accepted is the decoded name and the score.
#include <gtest/gtest.h>

#include <string>

#include "server/percent_decoding.hpp"
#include "server/submission_rules.hpp"

namespace server {
namespace {

struct QueryCase {
  const char* label;
  std::string query;
  bool accepted;
  std::string name = {};       // decoded, when accepted
  std::uint32_t score = 0;     // when accepted
  std::string refusal = {};    // a piece of the reason, when refused
};

std::ostream& operator<<(std::ostream& out, const QueryCase& c) { return out << c.label; }

class SubmissionQueryTest : public ::testing::TestWithParam<QueryCase> {};

TEST_P(SubmissionQueryTest, IsJudgedAfterDecoding) {
  const QueryCase& c = GetParam();
  const SubmissionCheck check = checkSubmission(c.query);
  EXPECT_EQ(check.ok(), c.accepted) << check.refusal;
  if (c.accepted) {
    EXPECT_EQ(check.name, c.name);
    EXPECT_EQ(check.score, c.score);
  } else {
    EXPECT_NE(check.refusal.find(c.refusal), std::string::npos) << check.refusal;
    EXPECT_EQ(check.refusal.find('\n'), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SubmissionQueryTest,
    ::testing::Values(
        QueryCase{"plain", "myname=ANNA&myscore=500", true, "ANNA", 500},
        QueryCase{"keys in either order", "myscore=7&myname=BOB", true, "BOB", 7},
        QueryCase{"space as the client sends it", "myname=A%20B&myscore=30", true, "A B", 30},
        QueryCase{"raw space taken as itself", "myname=A B&myscore=30", true, "A B", 30},
        QueryCase{"plus is a plus", "myname=A+B&myscore=30", true, "A+B", 30},
        QueryCase{"lower-case escapes", "myname=%c3%a9T%c3%a9&myscore=1", true, "\xC3\xA9T\xC3\xA9", 1},
        QueryCase{"eight letters", "myname=ABCDEFGH&myscore=1", true, "ABCDEFGH", 1},
        QueryCase{"eight two-byte letters", "myname=%C3%A9%C3%A9%C3%A9%C3%A9%C3%A9%C3%A9%C3%A9%C3%A9&myscore=1",
                  true, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 1},
        QueryCase{"four astral characters are eight units", "myname=%F0%9F%98%80%F0%9F%98%80%F0%9F%98%80%F0%9F%98%80&myscore=9",
                  true, "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80", 9},
        QueryCase{"score at the top", "myname=A&myscore=4294967295", true, "A", 4294967295u},
        QueryCase{"leading zeros within ten digits", "myname=A&myscore=0000000042", true, "A", 42},
        QueryCase{"markup is only text", "myname=%3Cscript%3E&myscore=5", true, "<script>", 5},

        QueryCase{"lone percent", "myname=A%&myscore=1", false, "", 0, "percent escape"},
        QueryCase{"percent and one digit", "myname=A%4&myscore=1", false, "", 0, "percent escape"},
        QueryCase{"percent zz", "myname=%zz&myscore=1", false, "", 0, "percent escape"},
        QueryCase{"NUL byte", "myname=A%00B&myscore=1", false, "", 0, "control character"},
        QueryCase{"tab", "myname=A%09B&myscore=1", false, "", 0, "control character"},
        QueryCase{"DEL", "myname=A%7F&myscore=1", false, "", 0, "control character"},
        QueryCase{"C1 control", "myname=A%C2%85&myscore=1", false, "", 0, "control character"},
        QueryCase{"overlong slash", "myname=%C0%AF&myscore=1", false, "", 0, "UTF-8"},
        QueryCase{"overlong three bytes", "myname=%E0%80%AF&myscore=1", false, "", 0, "UTF-8"},
        QueryCase{"truncated sequence", "myname=A%C3&myscore=1", false, "", 0, "UTF-8"},
        QueryCase{"truncated astral", "myname=%F0%9F%98&myscore=1", false, "", 0, "UTF-8"},
        QueryCase{"encoded surrogate", "myname=%ED%A0%80&myscore=1", false, "", 0, "UTF-8"},
        QueryCase{"beyond U+10FFFF", "myname=%F4%90%80%80&myscore=1", false, "", 0, "UTF-8"},
        QueryCase{"stray continuation byte", "myname=%80&myscore=1", false, "", 0, "UTF-8"},
        QueryCase{"nine letters", "myname=ABCDEFGHI&myscore=1", false, "", 0, "longer than 8"},
        QueryCase{"five astral characters are ten units",
                  "myname=%F0%9F%98%80%F0%9F%98%80%F0%9F%98%80%F0%9F%98%80%F0%9F%98%80&myscore=1", false, "", 0,
                  "longer than 8"},
        QueryCase{"seven letters and one astral", "myname=ABCDEFG%F0%9F%98%80&myscore=1", false, "", 0,
                  "longer than 8"},
        QueryCase{"empty name", "myname=&myscore=1", false, "", 0, "empty name"},
        QueryCase{"comma", "myname=A%2CB&myscore=1", false, "", 0, "','"},
        QueryCase{"raw comma", "myname=A,B&myscore=1", false, "", 0, "','"},
        QueryCase{"semicolon", "myname=%3BZED&myscore=1", false, "", 0, "';'"},
        QueryCase{"score zero", "myname=A&myscore=0", false, "", 0, "score"},
        QueryCase{"score too large", "myname=A&myscore=4294967296", false, "", 0, "score"},
        QueryCase{"eleven digits", "myname=A&myscore=00000000001", false, "", 0, "score"},
        QueryCase{"sign", "myname=A&myscore=%2B5", false, "", 0, "score"},
        QueryCase{"minus", "myname=A&myscore=-5", false, "", 0, "score"},
        QueryCase{"blank before", "myname=A&myscore=%205", false, "", 0, "score"},
        QueryCase{"exponent", "myname=A&myscore=1e3", false, "", 0, "score"},
        QueryCase{"trailing letters", "myname=A&myscore=12abc", false, "", 0, "score"},
        QueryCase{"empty score", "myname=A&myscore=", false, "", 0, "score"},
        QueryCase{"missing score", "myname=A", false, "", 0, "both"},
        QueryCase{"missing name", "myscore=5", false, "", 0, "both"},
        QueryCase{"repeated name", "myname=A&myname=B&myscore=5", false, "", 0, "more than once"},
        QueryCase{"repeated score", "myname=A&myscore=5&myscore=6", false, "", 0, "more than once"},
        QueryCase{"unknown key", "myname=A&myscore=5&admin=1", false, "", 0, "unknown query key"},
        QueryCase{"encoded key", "my%6Eame=A&myscore=5", true, "A", 5},
        QueryCase{"part without equals", "myname=A&myscore=5&x", false, "", 0, "without '='"},
        QueryCase{"trailing ampersand", "myname=A&myscore=5&", false, "", 0, "without '='"},
        QueryCase{"100 kB query", "myname=" + std::string(100 * 1024, 'A') + "&myscore=1", false, "", 0,
                  "query longer than"}),
    [](const ::testing::TestParamInfo<QueryCase>& row) {
      std::string name;
      for (const char c : std::string(row.param.label)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(PercentDecodingTest, DecodesEveryByteAndRefusesBrokenEscapes) {
  EXPECT_EQ(percentDecode("%41%62%2b+%ff"), std::optional<std::string>("Ab++\xFF"));
  EXPECT_EQ(percentDecode(""), std::optional<std::string>(""));
  for (const char* broken : {"%", "%4", "A%G1", "%1G", "%%41"}) EXPECT_FALSE(percentDecode(broken)) << broken;
}

}  // namespace
}  // namespace server
