#include "app/game_recorder.hpp"

#include "app/game_app.hpp"
#include "game/rules_version.hpp"
#include "platform/files.hpp"
#include "platform/problem_report.hpp"
#include "platform/random.hpp"
#include "platform/unicode.hpp"
#include "scores/replay_store.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

using Kind = replay::Event::Kind;

std::string savedGameReplayPath() { return platform::savePath(GameRecorder::kSavedGameReplay); }

replay::Start startHere(const game::SavedGame& start) {
  const shell::ProcessState& p = shell::process();
  replay::Start s;
  s.randomState = platform::randomState();
  s.level = start.level;
  s.lives = start.lives;
  s.score = start.score;
  s.penX = static_cast<std::uint16_t>(toPixels(p.penX));
  s.penY = static_cast<std::uint16_t>(toPixels(p.penY));
  s.penDown = p.penDown;
  return s;
}

// The replay of the saved game's beginning, when it is one that `start` continues.
std::optional<replay::Replay> savedBeginning(const game::SavedGame& start, std::string& why) {
  const platform::FileRead file = platform::readFile(savedGameReplayPath(), replay::kMaxFileBytes + 1);
  if (!file.opened || file.readFailed) {
    why = "its replay so far is missing";
    return std::nullopt;
  }
  replay::Decoded decoded = replay::decode(file.bytes);
  if (!decoded.replay) {
    why = "its replay so far cannot be read (" + decoded.error + ")";
    return std::nullopt;
  }
  const replay::Segment& last = decoded.replay->segments.back();
  const game::SavedGame saved{last.saved.level, last.saved.lives, last.saved.score};
  if (decoded.replay->rulesVersion != game::kRulesVersion || last.finished || saved != start) {
    why = "its replay so far belongs to another game";
    return std::nullopt;
  }
  return std::move(decoded.replay);
}

}  // namespace

GameRecorder::GameRecorder(GameApp& app) : app_(app) {}

void GameRecorder::gameStarted(const game::SavedGame& start) {
  finished_.reset();
  closing_ = false;
  pendingUpdate_ = false;
  current_.reset();
  recording_ = false;
  if (start != game::SavedGame{}) {
    std::string why;
    current_ = savedBeginning(start, why);
    if (!current_) {
      platform::reportProblem("the continued game will have no replay: " + why);
      return;
    }
  } else {
    current_ = replay::Replay{};
    current_->rulesVersion = game::kRulesVersion;
  }
  current_->segments.push_back(replay::Segment{startHere(start), {}, false, {}});
  totals_ = replay::totals(*current_);
  recording_ = current_->segments.size() <= replay::kMaxSegments;
  if (!recording_) stopRecording("it was continued too often");
}

void GameRecorder::appendRun(Kind kind) {
  std::vector<replay::Event>& events = current_->segments.back().events;
  if (!events.empty() && events.back().kind == kind) {
    ++events.back().count;
  } else {
    events.push_back(replay::Event{kind, 1, 0, 0});
  }
}

void GameRecorder::flushUpdate() {
  if (!pendingUpdate_) return;
  pendingUpdate_ = false;
  appendRun(Kind::Updates);
}

void GameRecorder::update() {
  if (!recording_) return;
  flushUpdate();
  pendingUpdate_ = true;
  ++totals_.updates;
  withinLimits();
}

void GameRecorder::draw() {
  if (!recording_) return;
  if (pendingUpdate_) {
    pendingUpdate_ = false;
    appendRun(Kind::Frames);
  } else {
    appendRun(Kind::Draws);
  }
  ++totals_.draws;
  withinLimits();
}

void GameRecorder::input(const replay::Event& event) {
  if (!recording_) return;
  flushUpdate();
  std::vector<replay::Event>& events = current_->segments.back().events;
  // Between two steps of the game only the last of a row of pen moves counts: each move sets
  // the pen and the paddle to where it is, and a move that starts a level leaves the rest of
  // the row to a wipe that ignores them.
  if (event.kind == Kind::PenMove && !events.empty() && events.back().kind == Kind::PenMove) {
    events.back() = event;
    return;
  }
  events.push_back(event);
  ++totals_.inputs;
  withinLimits();
}

bool GameRecorder::withinLimits() {
  if (totals_.updates <= replay::kMaxUpdates && totals_.draws <= replay::kMaxDraws && totals_.inputs <= replay::kMaxInputs) {
    return true;
  }
  stopRecording("it is longer than a replay may be");
  return false;
}

void GameRecorder::stopRecording(std::string_view why) {
  platform::reportProblem("this game will have no replay: " + std::string(why));
  recording_ = false;
  current_.reset();
}

void GameRecorder::endOfPass() {
  if (!closing_) return;
  closing_ = false;
  if (!recording_) return;
  flushUpdate();
  current_->segments.back().finished = true;
  finished_ = std::move(current_);
  current_.reset();
  recording_ = false;
}

void GameRecorder::gameEnded() {
  // The saved game was reset with the game's end: its replay so far is stale.
  platform::removeFile(savedGameReplayPath());
  closing_ = recording_;
}

void GameRecorder::gameSaved(const game::SavedGame& saved) {
  if (!recording_) {
    platform::removeFile(savedGameReplayPath());
    return;
  }
  flushUpdate();
  replay::Segment& segment = current_->segments.back();
  segment.finished = false;
  segment.saved = {saved.level, saved.lives, saved.score};
  const std::vector<std::uint8_t> bytes = replay::encode(*current_);
  const platform::FileWrite written = platform::writeFileAtomically(savedGameReplayPath(), bytes);
  if (!written.written) {
    platform::reportProblem("the saved game's replay could not be kept: " + written.reason);
    platform::removeFile(savedGameReplayPath());
  }
  recording_ = false;
  current_.reset();
}

void GameRecorder::scoreEntered(std::u16string_view name, std::uint32_t score) {
  if (!finished_ || app_.highScores() == nullptr) return;
  finished_->name = platform::toUtf8(name);
  finished_->score = score;
  scores::keepReplay(replay::encode(*finished_), app_.highScores()->table());
  finished_.reset();
}

}  // namespace app
