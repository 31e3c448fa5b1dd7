#include "app/app_state.hpp"

#include <iterator>

namespace app {

const char* appStateName(AppState state) {
  static constexpr const char* kNames[] = {"Cover",      "Menu",      "Options",    "Help",
                                           "About",      "HighScores", "NameEntry", "LevelIntro",
                                           "Playing",    "GameFailed", "GameWon",   "Transition"};
  const auto index = static_cast<std::size_t>(state);
  return index < std::size(kNames) ? kNames[index] : "Unknown";
}

}  // namespace app
