#include "server/api_json.hpp"

#include "platform/json_line.hpp"
#include "server/game_id.hpp"

namespace server {
namespace {

void writeTime(platform::JsonLine& json, const std::optional<UnixTime>& time) {
  if (time) {
    json.string(formatRfc3339(*time));
  } else {
    json.null();
  }
}

void writeWindow(platform::JsonLine& json, Board board, const BoardWindow& window) {
  json.key("board").string(boardName(board));
  json.key("from");
  writeTime(json, window.from);
  json.key("nextReset");
  writeTime(json, window.nextReset);
}

void writeEntry(platform::JsonLine& json, const RankedEntry& entry) {
  json.beginObject();
  json.key("rank").number(static_cast<std::int64_t>(entry.rank));
  json.key("name").string(entry.name);
  json.key("score").number(entry.score);
  json.key("time").string(formatRfc3339(entry.time));
  json.key("verified").boolean(!entry.game.empty());
  if (!entry.game.empty()) json.key("replay").string(replayPath(entry.game));
  json.endObject();
}

void writeEntries(platform::JsonLine& json, const std::vector<RankedEntry>& entries) {
  json.beginArray();
  for (const RankedEntry& entry : entries) writeEntry(json, entry);
  json.endArray();
}

}  // namespace

std::string renderBoardJson(Board board, const BoardWindow& window, const BoardQuery& query, const BoardPage& page) {
  platform::JsonLine json;
  json.beginObject();
  writeWindow(json, board, window);
  json.key("verified").boolean(query.verifiedOnly);
  json.key("offset").number(static_cast<std::int64_t>(query.offset));
  json.key("limit").number(static_cast<std::int64_t>(query.limit));
  json.key("total").number(static_cast<std::int64_t>(page.total));
  json.key("entries");
  writeEntries(json, page.entries);
  json.endObject();
  return json.text() + "\n";
}

std::string renderRankJson(Board board, const BoardWindow& window, std::string_view name, const RankView& view) {
  platform::JsonLine json;
  json.beginObject();
  writeWindow(json, board, window);
  json.key("name").string(name);
  json.key("entry");
  writeEntry(json, view.entry);
  json.key("above");
  writeEntries(json, view.above);
  json.key("below");
  writeEntries(json, view.below);
  json.endObject();
  return json.text() + "\n";
}

std::string renderErrorJson(std::string_view message) {
  platform::JsonLine json;
  json.beginObject().key("error").string(message).endObject();
  return json.text() + "\n";
}

}  // namespace server
