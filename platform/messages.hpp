// The window messages and virtual-key codes of the handheld's window system. The window
// backend translates desktop events into them; the program's window procedure routes them.
#pragma once

#include <cstdint>

namespace win {

struct Message {
  std::uint32_t message = 0;
  std::uint32_t wParam = 0;
  std::int32_t lParam = 0;
};

constexpr std::uint32_t WM_ACTIVATE = 0x0006;
constexpr std::uint32_t WM_SETFOCUS = 0x0007;
constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;

constexpr std::uint32_t WA_INACTIVE = 0;
constexpr std::uint32_t WA_ACTIVE = 1;
constexpr std::uint32_t WA_CLICKACTIVE = 2;

constexpr std::uint32_t VK_BACK = 0x08;
constexpr std::uint32_t VK_RETURN = 0x0D;
constexpr std::uint32_t VK_PAUSE = 0x13;
constexpr std::uint32_t VK_ESCAPE = 0x1B;
constexpr std::uint32_t VK_SPACE = 0x20;
constexpr std::uint32_t VK_LEFT = 0x25;
constexpr std::uint32_t VK_UP = 0x26;
constexpr std::uint32_t VK_RIGHT = 0x27;
constexpr std::uint32_t VK_DOWN = 0x28;
constexpr std::uint32_t VK_SELECT = 0x29;  // the gamepad's A button, which the game takes as Enter
constexpr std::uint32_t VK_F3 = 0x72;
constexpr std::uint32_t VK_F4 = 0x73;
constexpr std::uint32_t VK_APP1 = 0xC1;  // quit
constexpr std::uint32_t VK_APP2 = 0xC2;
constexpr std::uint32_t VK_APP3 = 0xC3;
constexpr std::uint32_t VK_APP4 = 0xC4;
// Letters and digits are their ASCII codes: 'A' .. 'Z' = 0x41 .. 0x5A, '0' .. '9' = 0x30 .. 0x39.

// The stylus messages carry the position in the long parameter: x in the low 16 bits,
// y in the high 16 bits, both unsigned.
constexpr std::int32_t packPenPosition(int x, int y) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(y) << 16) | (static_cast<std::uint32_t>(x) & 0xFFFFu));
}

}  // namespace win
