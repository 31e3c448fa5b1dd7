// The API's JSON: escaping and the shape of the replies.
#include <gtest/gtest.h>

#include "server/api_json.hpp"
#include "platform/json_line.hpp"

namespace server {
namespace {

TEST(ApiJsonTest, StringsEscapeWhatJsonMustAndPassUtf8Through) {
  const struct {
    std::string text;
    const char* json;
  } cases[] = {
      {"plain", "\"plain\""},
      {"\"quoted\" \\ back", "\"\\\"quoted\\\" \\\\ back\""},
      {"\n\r\t", "\"\\u000a\\u000d\\u0009\""},
      {std::string("\0\x01\x1f\x7f", 4), "\"\\u0000\\u0001\\u001f\x7f\""},
      {"</script>", "\"</script>\""},
      {"\xC3\xA9\xF0\x9F\x98\x80", "\"\xC3\xA9\xF0\x9F\x98\x80\""},
  };
  for (const auto& c : cases) {
    platform::JsonLine json;
    json.string(c.text);
    EXPECT_EQ(json.text(), c.json);
  }
}

// Every entry says whether it is verified, and a verified one where its replay is.
TEST(ApiJsonTest, BoardAndRankReplies) {
  BoardPage page;
  page.total = 2;
  page.entries = {{1, 1, "A\"", 500, 0, "0123456789abcdef0123456789abcdef"}, {2, 2, "B", 400, 86400, ""}};
  BoardQuery query;
  query.limit = 20;
  EXPECT_EQ(renderBoardJson(Board::Day, boardWindow(Board::Day, 86400), query, page),
            "{\"board\":\"day\",\"from\":\"1970-01-02T00:00:00Z\",\"nextReset\":\"1970-01-03T00:00:00Z\","
            "\"verified\":false,\"offset\":0,\"limit\":20,\"total\":2,\"entries\":["
            "{\"rank\":1,\"name\":\"A\\\"\",\"score\":500,\"time\":\"1970-01-01T00:00:00Z\",\"verified\":true,"
            "\"replay\":\"/api/v1/games/0123456789abcdef0123456789abcdef/replay\"},"
            "{\"rank\":2,\"name\":\"B\",\"score\":400,\"time\":\"1970-01-02T00:00:00Z\",\"verified\":false}]}\n");
  RankView view;
  view.entry = page.entries[1];
  view.above = {page.entries[0]};
  EXPECT_EQ(renderRankJson(Board::All, boardWindow(Board::All, 0), "B", view),
            "{\"board\":\"all\",\"from\":null,\"nextReset\":null,\"name\":\"B\","
            "\"entry\":{\"rank\":2,\"name\":\"B\",\"score\":400,\"time\":\"1970-01-02T00:00:00Z\",\"verified\":false},"
            "\"above\":[{\"rank\":1,\"name\":\"A\\\"\",\"score\":500,\"time\":\"1970-01-01T00:00:00Z\",\"verified\":true,"
            "\"replay\":\"/api/v1/games/0123456789abcdef0123456789abcdef/replay\"}],"
            "\"below\":[]}\n");
  EXPECT_EQ(renderErrorJson("bad \"x\""), "{\"error\":\"bad \\\"x\\\"\"}\n");
}

}  // namespace
}  // namespace server
