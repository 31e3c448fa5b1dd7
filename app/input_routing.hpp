// What each input does to the application, once the window procedure has given the desktop's
// keys their meaning: the routes shared by the program and by the replays, so that a replay
// plays its inputs exactly as they were played.
#pragma once

#include <cstdint>

#include "app/game_app.hpp"
#include "replay/replay_file.hpp"

namespace app {

// Enter, the arrows, the application keys and the test keys '1' to '8', which act on the
// game whatever screen shows; any other key does nothing.
void routeKey(GameApp& app, std::uint32_t key);

// A stylus message at (x, y), pixels on the screen: the pen is stored, then the application
// acts (when there is one yet). `kind` is PenDown, PenMove or PenUp.
void routePen(GameApp* app, replay::Event::Kind kind, int x, int y);

// The window became active or inactive. Deactivating pauses (or resumes) a game on screen.
void routeActivation(GameApp* app, bool active);

// An input of a replay, as the program took it.
void routeInput(GameApp& app, const replay::Event& input);

}  // namespace app
