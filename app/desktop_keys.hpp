// The desktop keys that stand for the handheld's application keys, by screen. The window
// backend delivers plain virtual-key codes; this is where they get their meaning in the game.
#pragma once

#include <cstdint>

#include "app/game_app.hpp"

namespace app {

// The gamepad's A button: Enter everywhere, also on the name entry, where the keyboard's
// Enter confirms the typed name instead.
constexpr std::uint32_t kGamepadSelect = 0x29;  // VK_SELECT

// The handheld key that a desktop key means on the given screen; keys without a special
// meaning come back unchanged.
std::uint32_t translateDesktopKey(std::uint32_t key, AppState state);

}  // namespace app
