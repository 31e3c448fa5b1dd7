#include "platform/sdl/input_translation.hpp"

#include <SDL_mouse.h>

namespace platform {
namespace {

std::uint32_t keypadDigit(SDL_Keycode key) {
  switch (key) {
    case SDLK_KP_0: return '0';
    case SDLK_KP_1: return '1';
    case SDLK_KP_2: return '2';
    case SDLK_KP_3: return '3';
    case SDLK_KP_4: return '4';
    case SDLK_KP_5: return '5';
    case SDLK_KP_6: return '6';
    case SDLK_KP_7: return '7';
    case SDLK_KP_8: return '8';
    case SDLK_KP_9: return '9';
    default: return 0;
  }
}

std::uint32_t plainKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LEFT: return win::VK_LEFT;
    case SDLK_UP: return win::VK_UP;
    case SDLK_RIGHT: return win::VK_RIGHT;
    case SDLK_DOWN: return win::VK_DOWN;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return win::VK_RETURN;
    case SDLK_SPACE: return win::VK_SPACE;
    case SDLK_BACKSPACE: return win::VK_BACK;
    case SDLK_ESCAPE: return win::VK_ESCAPE;
    case SDLK_PAUSE: return win::VK_PAUSE;
    case SDLK_F3: return win::VK_F3;
    case SDLK_F4: return win::VK_F4;
    default: break;
  }
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint32_t>('0' + (key - SDLK_0));
  return keypadDigit(key);
}

}  // namespace

TranslatedKey translateKey(SDL_Keycode key, std::uint16_t modifiers) {
  const bool ctrl = (modifiers & KMOD_CTRL) != 0;
  const bool alt = (modifiers & KMOD_ALT) != 0;
  const bool toggles = key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER));
  if (toggles) return {KeyAction::ToggleFullscreen, 0};

  if (key >= SDLK_a && key <= SDLK_z) {
    if (ctrl && key == SDLK_q) return {KeyAction::Message, win::VK_APP1};
    if (ctrl || alt) return {};
    return {KeyAction::Message, static_cast<std::uint32_t>('A' + (key - SDLK_a))};
  }
  const std::uint32_t virtualKey = plainKey(key);
  if (virtualKey == 0) return {};
  return {KeyAction::Message, virtualKey};
}

std::uint32_t mouseButtonKey(std::uint8_t button) { return button == SDL_BUTTON_RIGHT ? win::VK_RETURN : 0; }

void HeldKeys::press(int scancode, std::uint32_t virtualKey) {
  if (scancode >= 0 && scancode < SDL_NUM_SCANCODES) keys_[static_cast<std::size_t>(scancode)] = virtualKey;
}

std::uint32_t HeldKeys::release(int scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  const std::uint32_t virtualKey = keys_[static_cast<std::size_t>(scancode)];
  keys_[static_cast<std::size_t>(scancode)] = 0;
  return virtualKey;
}

std::uint32_t gamepadButtonKey(SDL_GameControllerButton button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return win::VK_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return win::VK_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return win::VK_RIGHT;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return win::VK_DOWN;
    case SDL_CONTROLLER_BUTTON_A: return win::VK_SELECT;
    case SDL_CONTROLLER_BUTTON_B: return win::VK_APP3;
    case SDL_CONTROLLER_BUTTON_START: return win::VK_APP4;
    default: return 0;
  }
}

std::vector<win::Message> ActivationFilter::translate(WindowChange change) {
  const bool nowActive = change == WindowChange::FocusGained;
  if (nowActive == active_) return {};
  active_ = nowActive;
  if (nowActive) return {{win::WM_ACTIVATE, win::WA_ACTIVE, 0}, {win::WM_SETFOCUS, 0, 0}};
  return {{win::WM_ACTIVATE, win::WA_INACTIVE, 0}, {win::WM_KILLFOCUS, 0, 0}};
}

int StickAxis::update(int value) {
  if (value >= kPress) {
    direction_ = 1;
  } else if (value <= -kPress) {
    direction_ = -1;
  } else if (direction_ * value <= kRelease) {
    // Back inside the release zone (or past the centre): the held direction lets go.
    direction_ = 0;
  }
  return direction_;
}

}  // namespace platform
