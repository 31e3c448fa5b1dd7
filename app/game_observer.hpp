// What the application tells about the games it runs, for the recorder that keeps each
// game's replay. Every call comes from inside an update or an input operation, after the
// application has acted.
#pragma once

#include <cstdint>
#include <string_view>

#include "game/saved_game.hpp"

namespace app {

class GameObserver {
 public:
  virtual ~GameObserver() = default;
  // "New game" or "Continue" began a game at `start` (level, lives, score).
  virtual void gameStarted(const game::SavedGame& start) = 0;
  // The update just run ended the game.
  virtual void gameEnded() = 0;
  // The program is ending and saved the game in progress as `saved`.
  virtual void gameSaved(const game::SavedGame& saved) = 0;
  // The name entry put the game's score into the table.
  virtual void scoreEntered(std::u16string_view name, std::uint32_t score) = 0;
};

}  // namespace app
