#include "platform/sdl/input_translation.hpp"

#include <SDL_mouse.h>
#include <gtest/gtest.h>

namespace platform {
namespace {

struct KeyCase {
  SDL_Keycode key;
  std::uint16_t modifiers;
  TranslatedKey expected;
};

constexpr TranslatedKey message(std::uint32_t virtualKey) { return {KeyAction::Message, virtualKey}; }
constexpr TranslatedKey kNothing{};
constexpr TranslatedKey kToggle{KeyAction::ToggleFullscreen, 0};

class KeyTable : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTable, PressGivesTheVirtualKey) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(translateKey(c.key, c.modifiers), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    ::testing::Values(KeyCase{SDLK_LEFT, KMOD_NONE, message(win::VK_LEFT)},
                      KeyCase{SDLK_UP, KMOD_NONE, message(win::VK_UP)},
                      KeyCase{SDLK_RIGHT, KMOD_NONE, message(win::VK_RIGHT)},
                      KeyCase{SDLK_DOWN, KMOD_NONE, message(win::VK_DOWN)},
                      KeyCase{SDLK_RETURN, KMOD_NONE, message(win::VK_RETURN)},
                      KeyCase{SDLK_KP_ENTER, KMOD_NONE, message(win::VK_RETURN)},
                      KeyCase{SDLK_SPACE, KMOD_NONE, message(win::VK_SPACE)},
                      KeyCase{SDLK_BACKSPACE, KMOD_NONE, message(win::VK_BACK)},
                      KeyCase{SDLK_ESCAPE, KMOD_NONE, message(win::VK_ESCAPE)},
                      KeyCase{SDLK_PAUSE, KMOD_NONE, message(win::VK_PAUSE)},
                      KeyCase{SDLK_F3, KMOD_NONE, message(win::VK_F3)},
                      KeyCase{SDLK_F4, KMOD_NONE, message(win::VK_F4)},
                      KeyCase{SDLK_a, KMOD_NONE, message('A')},
                      KeyCase{SDLK_z, KMOD_LSHIFT, message('Z')},
                      KeyCase{SDLK_q, KMOD_NONE, message('Q')},
                      KeyCase{SDLK_0, KMOD_NONE, message('0')},
                      KeyCase{SDLK_9, KMOD_NONE, message('9')},
                      KeyCase{SDLK_KP_0, KMOD_NUM, message('0')},
                      KeyCase{SDLK_KP_1, KMOD_NONE, message('1')},
                      KeyCase{SDLK_KP_9, KMOD_NONE, message('9')},
                      // Ctrl+Q quits, with either Ctrl; other Ctrl or Alt letters type nothing.
                      KeyCase{SDLK_q, KMOD_LCTRL, message(win::VK_APP1)},
                      KeyCase{SDLK_q, KMOD_RCTRL, message(win::VK_APP1)},
                      KeyCase{SDLK_w, KMOD_LCTRL, kNothing},
                      KeyCase{SDLK_a, KMOD_LALT, kNothing},
                      // Modifiers do not get in the way of steering.
                      KeyCase{SDLK_LEFT, KMOD_LCTRL, message(win::VK_LEFT)},
                      // Full screen belongs to the window.
                      KeyCase{SDLK_F11, KMOD_NONE, kToggle},
                      KeyCase{SDLK_RETURN, KMOD_LALT, kToggle},
                      KeyCase{SDLK_KP_ENTER, KMOD_RALT, kToggle},
                      // Keys the game has no use for.
                      KeyCase{SDLK_F1, KMOD_NONE, kNothing},
                      KeyCase{SDLK_TAB, KMOD_NONE, kNothing},
                      KeyCase{SDLK_LSHIFT, KMOD_NONE, kNothing},
                      KeyCase{SDLK_MINUS, KMOD_NONE, kNothing},
                      KeyCase{SDLK_KP_PLUS, KMOD_NONE, kNothing}));

TEST(MouseButtons, TheRightButtonIsEnterAndTheOthersAreNoKeys) {
  EXPECT_EQ(mouseButtonKey(SDL_BUTTON_RIGHT), win::VK_RETURN);
  for (std::uint8_t button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1, SDL_BUTTON_X2}) {
    EXPECT_EQ(mouseButtonKey(button), 0u) << int{button};
  }
  // Its release gives Enter back up; a button whose press gave nothing releases nothing.
  HeldKeys buttons;
  buttons.press(SDL_BUTTON_RIGHT, mouseButtonKey(SDL_BUTTON_RIGHT));
  EXPECT_EQ(buttons.release(SDL_BUTTON_MIDDLE), 0u);
  EXPECT_EQ(buttons.release(SDL_BUTTON_RIGHT), win::VK_RETURN);
  EXPECT_EQ(buttons.release(SDL_BUTTON_RIGHT), 0u);
}

TEST(HeldKeys, AReleaseSaysWhatItsPressSaid) {
  HeldKeys held;
  held.press(SDL_SCANCODE_Q, win::VK_APP1);  // Ctrl+Q
  EXPECT_EQ(held.release(SDL_SCANCODE_Q), win::VK_APP1);  // even if Ctrl went up first
  EXPECT_EQ(held.release(SDL_SCANCODE_Q), 0u);            // released once
  EXPECT_EQ(held.release(SDL_SCANCODE_W), 0u);            // never pressed as a game key
  held.press(SDL_SCANCODE_LEFT, win::VK_LEFT);
  held.press(SDL_SCANCODE_LEFT, win::VK_LEFT);            // auto-repeat
  EXPECT_EQ(held.release(SDL_SCANCODE_LEFT), win::VK_LEFT);
  EXPECT_EQ(held.release(-1), 0u);
  EXPECT_EQ(held.release(SDL_NUM_SCANCODES), 0u);
}

TEST(GamepadButtons, MapToArrowsSelectAndTheTwoApplicationKeys) {
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_DPAD_LEFT), win::VK_LEFT);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_DPAD_UP), win::VK_UP);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), win::VK_RIGHT);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_DPAD_DOWN), win::VK_DOWN);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_A), 0x29u);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_B), win::VK_APP3);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_START), win::VK_APP4);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_X), 0u);
  EXPECT_EQ(gamepadButtonKey(SDL_CONTROLLER_BUTTON_BACK), 0u);
}

std::vector<std::uint32_t> activations(ActivationFilter& filter, WindowChange change) {
  std::vector<std::uint32_t> out;
  for (const win::Message& m : filter.translate(change)) {
    out.push_back(m.message);
    if (m.message == win::WM_ACTIVATE) out.push_back(m.wParam);
  }
  return out;
}

TEST(Activation, SendsOnePairPerRealChange) {
  ActivationFilter filter;
  const std::vector<std::uint32_t> deactivate{win::WM_ACTIVATE, win::WA_INACTIVE, win::WM_KILLFOCUS};
  const std::vector<std::uint32_t> activate{win::WM_ACTIVATE, win::WA_ACTIVE, win::WM_SETFOCUS};
  const std::vector<std::uint32_t> none;
  // The program starts active: the first focus event changes nothing.
  EXPECT_EQ(activations(filter, WindowChange::FocusGained), none);
  EXPECT_EQ(activations(filter, WindowChange::FocusLost), deactivate);
  // Minimised after losing focus: the game must not get a second toggle of its pause.
  EXPECT_EQ(activations(filter, WindowChange::Minimised), none);
  EXPECT_EQ(activations(filter, WindowChange::FocusLost), none);
  EXPECT_EQ(activations(filter, WindowChange::FocusGained), activate);
  EXPECT_EQ(activations(filter, WindowChange::FocusGained), none);
  EXPECT_EQ(activations(filter, WindowChange::Minimised), deactivate);
  EXPECT_EQ(activations(filter, WindowChange::FocusGained), activate);
}

TEST(StickAxis, PressesPastTheThresholdAndLetsGoOnlyInsideTheReleaseZone) {
  StickAxis axis;
  struct Step {
    int value;
    int direction;
  };
  const Step steps[] = {
      {0, 0},          {15999, 0},       {16000, 1},  // press
      {9000, 1},       {8001, 1},                     // hysteresis holds it
      {8000, 0},                                      // release
      {12000, 0},                                     // not pressed again below the threshold
      {-16000, -1},    {-8001, -1},      {-8000, 0},
      {32767, 1},      {-32768, -1},                  // a flick straight across
      {-20000, -1},    {5000, 0},
  };
  for (const Step& step : steps) EXPECT_EQ(axis.update(step.value), step.direction) << step.value;
}

}  // namespace
}  // namespace platform
