// From desktop input to the handheld's messages: keys to virtual-key codes, window focus to
// the activation and focus messages, gamepad buttons and sticks to keys. Pure functions and
// small state machines, so that the rules can be tested without a window.
#pragma once

#include <SDL_gamecontroller.h>
#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/messages.hpp"

namespace platform {

enum class KeyAction {
  None,              // the game hears nothing of this key
  Message,           // WM_KEYDOWN / WM_KEYUP with `virtualKey`
  ToggleFullscreen,  // the window's own business (F11, Alt+Enter); the game never sees it
};

struct TranslatedKey {
  KeyAction action = KeyAction::None;
  std::uint32_t virtualKey = 0;
  bool operator==(const TranslatedKey&) const = default;
};

// What pressing a desktop key means. `modifiers` are SDL's (KMOD_*). Letters are delivered
// as 'A'..'Z' and digits as '0'..'9' (the keypad's too); Ctrl+Q is the quit key 0xC1, and
// letters held with Ctrl or Alt otherwise mean nothing, so that a desktop shortcut never
// types into a name. (A release repeats whatever its press gave; the host remembers that.)
TranslatedKey translateKey(SDL_Keycode key, std::uint16_t modifiers);

// The gamepad's buttons as keys; 0 for a button that means nothing to the game.
// A gives VK_SELECT, which the application treats as Enter.
std::uint32_t gamepadButtonKey(SDL_GameControllerButton button);

// The mouse buttons that act as keys; 0 for the others. The left button is the stylus and
// never a key; the right one is Enter (VK_RETURN), so that a player with only a mouse can
// launch the ball, fire and choose.
std::uint32_t mouseButtonKey(std::uint8_t button);

// The virtual key each physical key went down as, so that its release says the same: Ctrl+Q
// lets go of the quit key even when Ctrl came up first, and a key whose press meant nothing
// to the game (a shortcut, a key held before the window had the focus) releases nothing.
// (Mouse buttons, numbered as SDL numbers them, are held the same way.)
class HeldKeys {
 public:
  void press(int scancode, std::uint32_t virtualKey);
  // The key to release, or 0 when the press gave none.
  std::uint32_t release(int scancode);

 private:
  std::array<std::uint32_t, SDL_NUM_SCANCODES> keys_{};
};

enum class WindowChange { FocusGained, FocusLost, Minimised };

// Keeps the window's activity and sends exactly one activation and one focus message per
// real change: losing focus and then being minimised is one deactivation, because the game
// toggles its pause on every WA_INACTIVE and a second one would resume it.
class ActivationFilter {
 public:
  // Gained: WM_ACTIVATE(WA_ACTIVE), WM_SETFOCUS. Lost or minimised: WM_ACTIVATE(WA_INACTIVE),
  // WM_KILLFOCUS. Nothing when the window already is in that state.
  std::vector<win::Message> translate(WindowChange change);
  bool active() const { return active_; }

 private:
  bool active_ = true;  // the program starts active
};

// One stick axis as a pair of keys, with a dead zone and hysteresis: the stick must leave
// the centre past kPress to press a direction and come back inside kRelease to let it go,
// so a stick resting near the threshold does not chatter.
class StickAxis {
 public:
  static constexpr int kPress = 16000;    // of SDL's -32768..32767
  static constexpr int kRelease = 8000;

  // The direction after this reading: -1, 0 or +1.
  int update(int value);
  int direction() const { return direction_; }

 private:
  int direction_ = 0;
};

}  // namespace platform
