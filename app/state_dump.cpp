#include "app/state_dump.hpp"

#include "game/game_rig.hpp"
#include "platform/json_line.hpp"
#include "platform/unicode.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

using platform::JsonLine;

void dumpClip(JsonLine& json, const char* name, const sound::SoundClip* clip) {
  json.key(name).beginObject();
  json.field("plays", clip != nullptr ? clip->plays() : 0);
  json.field("paused", clip != nullptr && clip->paused());
  json.endObject();
}

void dumpGame(JsonLine& json, game::GameScreen& screen) {
  const game::GameRig game(screen);
  json.field("score", shell::currentScore());
  json.field("lives", game.lives());
  json.field("level", screen.levelNumber());
  json.field("levelPassed", screen.isLevelPassed());
  json.field("gameEnded", screen.isGameEnded());
  const game::Paddle& paddle = game.paddle();
  json.key("paddle").beginObject();
  json.field("x", paddle.x());
  json.field("width", paddle.width());
  json.field("velocity", paddle.velocity());
  json.field("moveState", paddle.moveState());
  json.field("sizeState", paddle.sizeState());
  json.field("attachment", paddle.attachment());
  json.field("breaking", paddle.breaking());
  json.field("destroyed", paddle.destroyed());
  json.field("resting", paddle.restingBalls().size());
  json.endObject();
  json.key("balls").beginArray();
  for (const game::Ball* ball : game.balls()) {
    json.beginObject();
    json.field("x", ball->x()).field("y", ball->y()).field("vx", ball->vx()).field("vy", ball->vy());
    json.field("speed", ball->speed()).field("kind", ball->kind()).field("stuck", ball->stuck());
    json.endObject();
  }
  json.endArray();
  json.key("shots").beginArray();
  for (const game::Shot* shot : game.shots()) json.beginObject().field("x", shot->x()).field("y", shot->y()).endObject();
  json.endArray();
  json.key("items").beginArray();
  for (const game::Item* item : game.items()) {
    json.beginObject();
    json.field("kind", item->kind()).field("x", item->x()).field("y", item->y());
    json.field("vx", item->vx()).field("vy", item->vy());
    json.endObject();
  }
  json.endArray();
  json.field("effects", game.effectCount());
  json.key("bricks").beginArray();
  for (std::int32_t row = 0; row < game::BrickField::kRows; ++row) {
    for (std::int32_t col = 0; col < game::BrickField::kColumns; ++col) {
      const game::GameRig::CellView cell = game.cell(col, row);
      json.beginArray().value(cell.kind).value(cell.hitPoints).value(cell.variant).endArray();
    }
  }
  json.endArray();
  json.key("hidden").beginArray();
  for (std::int32_t row = 0; row < game::BrickField::kRows; ++row) {
    for (std::int32_t col = 0; col < game::BrickField::kColumns; ++col) json.value(game.cell(col, row).hiddenItem);
  }
  json.endArray();
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
  // Only while the line shows, so that dumps of runs without an exchange stay as they were.
  if (high != nullptr && !high->exchangeLine().empty()) json.field("exchange", platform::toUtf8(high->exchangeLine()));
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
  const shell::ProcessState& p = shell::process();
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
  dumpClip(json, "hit", app.game() != nullptr ? game::GameRig(*app.game()).hitSound() : nullptr);
  dumpClip(json, "blast", p.assets.blastSound.get());
  dumpClip(json, "click", app.clickClip());
  json.endObject();
  json.endObject();
  return json.text();
}

}  // namespace app
