// The twelve states of the application's screen flow, as signed 32-bit values (the headless
// driver's state dump prints their names).
#pragma once

#include <cstdint>

namespace app {

enum class AppState : std::int32_t {
  Cover = 0,
  Menu = 1,
  Options = 2,
  Help = 3,
  About = 4,
  HighScores = 5,
  NameEntry = 6,
  LevelIntro = 7,
  Playing = 8,
  GameFailed = 9,
  GameWon = 10,
  Transition = 11,
};

// "Cover", "Menu", ...; "Unknown" for a value outside the twelve.
const char* appStateName(AppState state);

}  // namespace app
