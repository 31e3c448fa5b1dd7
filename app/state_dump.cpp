#include "app/state_dump.hpp"

#include "app/json_line.hpp"
#include "app/process_state.hpp"
#include "platform/unicode.hpp"

namespace app {
namespace {

void dumpClip(JsonLine& json, const char* name, const sound::SoundClip* clip) {
  json.key(name).beginObject();
  json.field("plays", clip != nullptr ? clip->plays() : 0);
  json.field("paused", clip != nullptr && clip->paused());
  json.endObject();
}

void dumpGame(JsonLine& json, game::GameScreen& game) {
  const NumberDisplay* score = process().scoreDisplay.get();
  json.field("score", score != nullptr ? score->value() : 0);
  json.field("level", game.levelNumber());
  json.field("levelPassed", game.isLevelPassed());
  json.field("gameEnded", game.isGameEnded());
}

void dumpScreens(JsonLine& json, GameApp& app) {
  json.key("menu").beginObject().field("selection", app.menuSelection()).endObject();
  json.key("options").beginObject().field("selection", app.optionsSelection()).endObject();
  json.key("help").beginObject().field("page", app.helpPage()).endObject();
  json.key("transition").beginObject();
  json.field("step", app.transitionStep());
  json.field("target", appStateName(app.transitionTarget()));
  json.endObject();
}

void dumpScores(JsonLine& json, GameApp& app) {
  const scores::HighScoreScreen* high = app.highScores();
  json.key("highScores").beginObject();
  json.field("firstRow", high != nullptr ? high->firstRow() : 0);
  json.field("uploadState", high != nullptr ? high->uploadState() : 2);
  json.field("scrollState", high != nullptr ? high->scrollState() : 2);
  json.endObject();
  const scores::NameEntryScreen* entry = app.nameEntry();
  json.key("nameEntry").beginObject();
  json.field("col", entry != nullptr ? entry->col() : 0);
  json.field("row", entry != nullptr ? entry->row() : 0);
  json.field("count", entry != nullptr ? entry->count() : 0);
  json.field("name", entry != nullptr ? platform::toUtf8(entry->nameText()) : std::string());
  json.endObject();
  json.key("scores").beginArray();
  if (high != nullptr) {
    for (std::size_t i = 0; i < scores::ScoreTable::kEntries; ++i) {
      const scores::ScoreEntry& e = high->table().entry(i);
      json.beginArray().value(platform::toUtf8(e.nameText())).value(e.score).value(e.pendingUpload != 0).endArray();
    }
  }
  json.endArray();
}

}  // namespace

std::string stateDump(GameApp& app, std::uint64_t passes) {
  const ProcessState& p = process();
  JsonLine json;
  json.beginObject();
  json.field("tick", passes);
  json.field("state", appStateName(app.state()));
  json.field("gameRunning", app.gameRunning());
  json.field("muted", p.muted);
  json.field("musicOn", p.musicOn != 0);
  json.field("soundOn", p.soundOn != 0);
  if (game::GameScreen* game = app.game()) dumpGame(json, *game);
  dumpScreens(json, app);
  dumpScores(json, app);
  json.key("sounds").beginObject();
  dumpClip(json, "music", app.musicClip());
  dumpClip(json, "hit", nullptr);
  dumpClip(json, "blast", p.assets.blastSound.get());
  dumpClip(json, "click", app.clickClip());
  json.endObject();
  json.endObject();
  return json.text();
}

}  // namespace app
