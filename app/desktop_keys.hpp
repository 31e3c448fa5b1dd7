// The desktop keys that stand for the handheld's application keys, by screen. The window
// backend delivers plain virtual-key codes (letters and digits as their upper-case ASCII
// codes, Ctrl+Q already as the quit key 0xC1, the gamepad's A as VK_SELECT); this is where they
// get their meaning in the game. Typing on the name entry is taken earlier, by
// GameApp::onTypedKey.
#pragma once

#include <cstdint>

#include "app/app_state.hpp"

namespace app {

// The handheld key that a desktop key means on the given screen; keys without a special
// meaning come back unchanged, Esc where it means nothing as 0 (no key).
std::uint32_t translateDesktopKey(std::uint32_t key, AppState state);

}  // namespace app
