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

TEST(ApiJsonTest, BoardAndRankReplies) {
  BoardPage page;
  page.total = 2;
  page.entries = {{1, 1, "A\"", 500, 0}, {2, 2, "B", 400, 86400}};
  EXPECT_EQ(renderBoardJson(Board::Day, boardWindow(Board::Day, 86400), 0, 20, page),
            "{\"board\":\"day\",\"from\":\"1970-01-02T00:00:00Z\",\"nextReset\":\"1970-01-03T00:00:00Z\","
            "\"offset\":0,\"limit\":20,\"total\":2,\"entries\":["
            "{\"rank\":1,\"name\":\"A\\\"\",\"score\":500,\"time\":\"1970-01-01T00:00:00Z\"},"
            "{\"rank\":2,\"name\":\"B\",\"score\":400,\"time\":\"1970-01-02T00:00:00Z\"}]}\n");
  RankView view;
  view.entry = page.entries[1];
  view.above = {page.entries[0]};
  EXPECT_EQ(renderRankJson(Board::All, boardWindow(Board::All, 0), "B", view),
            "{\"board\":\"all\",\"from\":null,\"nextReset\":null,\"name\":\"B\","
            "\"entry\":{\"rank\":2,\"name\":\"B\",\"score\":400,\"time\":\"1970-01-02T00:00:00Z\"},"
            "\"above\":[{\"rank\":1,\"name\":\"A\\\"\",\"score\":500,\"time\":\"1970-01-01T00:00:00Z\"}],"
            "\"below\":[]}\n");
  EXPECT_EQ(renderErrorJson("bad \"x\""), "{\"error\":\"bad \\\"x\\\"\"}\n");
}

}  // namespace
}  // namespace server
