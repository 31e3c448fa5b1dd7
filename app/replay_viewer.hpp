// `zebrolite --replay FILE`: a replay played in the window at the game's pace, with keys to
// pause, to step one update and to play 2, 4 or 8 times faster; at its end the final score.
// It reads and writes none of the player's files. Headless, the same player runs the replay
// through at once and prints the last frame's hash and the final score.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/host.hpp"
#include "replay/replay_file.hpp"

namespace app {

// The replay in the file; nothing, with a one-line reason, when it cannot be read.
std::optional<replay::Replay> loadReplayFile(const std::string& path, std::string& error);

// What a key does in the replay window (virtual-key codes as the window gives them).
enum class ViewerCommand { None, TogglePause, Step, Speed1, Speed2, Speed4, Speed8, Quit };
ViewerCommand viewerCommand(std::uint32_t key);

// Plays `replay` in the window of `host` (whose display device is installed) until the
// player closes it; exit status 0.
int runReplayWindow(const replay::Replay& replay, platform::Host& host);

// Plays it through headless; prints the frame hash where the replay ends (16 hex digits, as
// the driver's `hash`), then "score N". Exit status 0.
int runReplayHeadless(const replay::Replay& replay, std::FILE* out);

}  // namespace app
