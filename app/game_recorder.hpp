// Records every game the program runs, from "New game" or "Continue" to its end, as a replay
// (replay/replay_file.hpp): the generator's state at the start, then every update and draw
// of the main loop and every input that reached the game, in the order they ran. Recording
// changes nothing the player sees or the game's own files hold.
//
// Where the replays go: a game saved at exit leaves its replay so far beside the saved game
// ("AutoSave.zebreplay"), which a continued game takes up as its beginning; a finished game
// keeps its replay in memory until its score enters the table, which keeps it beside
// "ScoreList.sav" (scores/replay_store.hpp). A game that left the limits of a replay, or was
// continued without the replay of its beginning, is not recorded further and has none.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/game_observer.hpp"
#include "replay/replay_file.hpp"

namespace app {

class GameApp;

class GameRecorder : public GameObserver {
 public:
  // The name of the replay kept beside "AutoSave.dat" in the save folder.
  static constexpr std::string_view kSavedGameReplay = "AutoSave.zebreplay";

  // `app` gives the score table that finished games' replays are matched with.
  explicit GameRecorder(GameApp& app);

  // The main loop's work, in the order it runs: an update, a draw, an input about to be
  // routed (pen positions in pixels), and the end of a pass, after which a game that ended
  // in it is complete. Nothing is kept while no game is recorded.
  void update();
  void draw();
  void input(const replay::Event& event);
  void endOfPass();

  bool recording() const { return recording_; }
  // The finished game whose score has not been entered yet.
  const std::optional<replay::Replay>& finishedGame() const { return finished_; }

  void gameStarted(const game::SavedGame& start) override;
  void gameEnded() override;
  void gameSaved(const game::SavedGame& saved) override;
  void scoreEntered(std::u16string_view name, std::uint32_t score) override;

 private:
  void appendRun(replay::Event::Kind kind);
  void flushUpdate();
  void stopRecording(std::string_view why);
  bool withinLimits();

  GameApp& app_;
  std::optional<replay::Replay> current_;
  std::optional<replay::Replay> finished_;
  bool recording_ = false;
  bool pendingUpdate_ = false;  // an update not yet known to be followed by a draw
  bool closing_ = false;        // the game ended in this pass
  replay::Totals totals_;
};

}  // namespace app
