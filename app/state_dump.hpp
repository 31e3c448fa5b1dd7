// The headless driver's state dump: the whole observable state of the program as one line
// of JSON. Tests and replays read it as a black box, so its keys only ever grow.
#pragma once

#include <cstdint>
#include <string>

#include "app/game_app.hpp"

namespace app {

std::string stateDump(GameApp& app, std::uint64_t passes);

}  // namespace app
