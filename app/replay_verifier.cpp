#include "app/replay_verifier.hpp"

#include "app/game_app.hpp"
#include "app/input_routing.hpp"
#include "app/replay_player.hpp"
#include "game/level_map.hpp"
#include "game/rules_version.hpp"
#include "platform/files.hpp"
#include "platform/unicode.hpp"
#include "scores/score_entry.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

using Kind = replay::Event::Kind;

Verdict refuse(Verdict verdict, Verdict::Kind kind, std::string reason) {
  verdict.kind = kind;
  verdict.reason = std::move(reason);
  return verdict;
}

bool isTestKey(const replay::Event& e) { return e.kind == Kind::Key && e.count >= '1' && e.count <= '8'; }

game::SavedGame progressOf(const replay::Start& s) { return {s.level, s.lives, s.score}; }
game::SavedGame progressOf(const replay::Saved& s) { return {s.level, s.lives, s.score}; }

std::string describe(const game::SavedGame& g) {
  return "level " + std::to_string(g.level) + ", " + std::to_string(g.lives) + " lives, " + std::to_string(g.score) +
         " points";
}

// The name a score can be entered with: 1 to 8 characters of valid UTF-8.
bool enterableName(const std::string& name) {
  const std::optional<std::u16string> units = platform::fromUtf8Strict(name);
  return units && !units->empty() && units->size() <= scores::ScoreEntry::kMaxNameLength &&
         units->find(u'\0') == std::u16string::npos;
}

}  // namespace

ReplayVerifier::ReplayVerifier(std::uint64_t maxUpdates) : maxUpdates_(maxUpdates) {
  const std::string map = platform::dataPath("BrickMap.dat");
  const platform::FileRead file = platform::readFile(map, game::LevelMap::kFileBytes);
  if (!file.opened || file.readFailed || file.bytes.size() < game::LevelMap::kFileBytes) {
    notReady_ = "no complete level map at " + map + (file.reason.empty() ? "" : " (" + file.reason + ")");
    return;
  }
  shell::ProcessState& p = shell::process();
  p.soundOn = 0;
  p.musicOn = 0;
  p.muted = false;
  p.scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
  app_ = std::make_unique<GameApp>();
  app_->createReplayScreens(false);
}

ReplayVerifier::~ReplayVerifier() {
  app_.reset();
  shell::process().scoreDisplay.reset();
}

Verdict ReplayVerifier::verify(std::span<const std::uint8_t> file) {
  Verdict verdict;
  if (!ready()) return refuse(verdict, Verdict::Kind::NotReady, "the verifier is not ready: " + notReady_);
  replay::Decoded decoded = replay::decode(file);
  if (!decoded.replay) {
    return refuse(verdict, decoded.tooLarge ? Verdict::Kind::TooLarge : Verdict::Kind::Malformed,
                  "the replay is " + decoded.error);
  }
  verdict.name = decoded.replay->name;
  verdict.score = decoded.replay->score;
  return judge(*decoded.replay, std::move(verdict));
}

Verdict ReplayVerifier::judge(const replay::Replay& r, Verdict verdict) {
  if (r.rulesVersion != game::kRulesVersion) {
    return refuse(verdict, Verdict::Kind::OtherRules,
                  "the replay was made under rules version " + std::to_string(r.rulesVersion) + "; this verifier plays version " +
                      std::to_string(game::kRulesVersion));
  }
  if (!enterableName(r.name)) return refuse(verdict, Verdict::Kind::Malformed, "the replay's name is not one a score can have");
  const replay::Totals totals = replay::totals(r);
  // Draws cost far less than updates; a windowed game has about one for each.
  if (totals.updates > maxUpdates_ || totals.draws > 2 * maxUpdates_) {
    return refuse(verdict, Verdict::Kind::TooLong,
                  "the replay has " + std::to_string(totals.updates) + " updates and " + std::to_string(totals.draws) +
                      " draws, more than the " + std::to_string(maxUpdates_) + " updates verified");
  }
  for (const replay::Segment& part : r.segments) {
    for (const replay::Event& e : part.events) {
      if (isTestKey(e)) {
        return refuse(verdict, Verdict::Kind::TestKey, "the test key " + std::string(1, static_cast<char>(e.count)) + " was used");
      }
    }
  }
  if (progressOf(r.segments.front().start) != game::SavedGame{}) {
    return refuse(verdict, Verdict::Kind::Malformed, "the game does not begin as a new game");
  }
  for (std::size_t i = 0; i < r.segments.size(); ++i) {
    const bool last = i + 1 == r.segments.size();
    if (r.segments[i].finished != last) {
      return refuse(verdict, Verdict::Kind::Malformed, last ? "the game was not finished" : "a part ends the game before the last");
    }
    if (i > 0 && progressOf(r.segments[i].start) != progressOf(r.segments[i - 1].saved)) {
      return refuse(verdict, Verdict::Kind::SavedDiffers,
                    "a part continues from " + describe(progressOf(r.segments[i].start)) + " but the game was saved at " +
                        describe(progressOf(r.segments[i - 1].saved)));
    }
  }
  for (const replay::Segment& part : r.segments) {
    if (!playPart(part, verdict)) return verdict;
  }
  const auto finalScore = static_cast<std::uint32_t>(shell::currentScore());
  if (finalScore != r.score) {
    return refuse(verdict, Verdict::Kind::ScoreDiffers,
                  "the game ends with " + std::to_string(finalScore) + " points, not the " + std::to_string(r.score) + " claimed");
  }
  verdict.kind = Verdict::Kind::Verified;
  verdict.reason = std::to_string(r.score) + " points in " + std::to_string(verdict.updates) + " updates";
  return verdict;
}

bool ReplayVerifier::playPart(const replay::Segment& part, Verdict& verdict) {
  GameApp& app = *app_;
  beginPart(app, part);
  const game::GameScreen& game = *app.game();
  bool ended = false;
  const auto endedEarly = [&verdict] {
    verdict = refuse(verdict, Verdict::Kind::NoEnd, "the game ends before its replay does");
    return false;
  };
  for (const replay::Event& e : part.events) {
    // Draws take random numbers (confetti); after the end of the game nothing matters, and
    // only draws may follow it, in its last pass.
    if (e.kind == Kind::Draws) {
      for (std::uint32_t k = 0; k < e.count && !ended; ++k) app.draw();
      continue;
    }
    if (ended) return endedEarly();
    if (e.kind == Kind::Frames || e.kind == Kind::Updates) {
      for (std::uint32_t k = 0; k < e.count; ++k) {
        if (ended) return endedEarly();
        app.update(10);
        ++verdict.updates;
        ended = game.isGameEnded();
        if (e.kind == Kind::Frames && !ended) app.draw();
      }
    } else {
      routeInput(app, e);
    }
  }
  if (part.finished && !ended) {
    verdict = refuse(verdict, Verdict::Kind::NoEnd, "the game does not end where its replay ends");
    return false;
  }
  if (!part.finished) {
    if (ended || !app.gameInProgress()) {
      verdict = refuse(verdict, Verdict::Kind::SavedDiffers, "a part was saved without a game in progress");
      return false;
    }
    if (game.progress() != progressOf(part.saved)) {
      verdict = refuse(verdict, Verdict::Kind::SavedDiffers,
                       "a part saved " + describe(progressOf(part.saved)) + " but the game was at " + describe(game.progress()));
      return false;
    }
  }
  return true;
}

}  // namespace app
