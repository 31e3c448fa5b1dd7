#include "app/desktop_keys.hpp"

#include "platform/messages.hpp"

namespace app {

std::uint32_t translateDesktopKey(std::uint32_t key, AppState state) {
  switch (key) {
    // The gamepad's A is Enter everywhere, also on the name entry, where the keyboard's Enter
    // accepts the typed name instead.
    case win::VK_SPACE:
    case win::VK_SELECT:
      return win::VK_RETURN;
    case 'P':
    case win::VK_PAUSE:
    case win::VK_F4:
      return win::VK_APP4;
    case 'M':
    case win::VK_F3:
      return win::VK_APP3;
    case win::VK_ESCAPE:
      if (state == AppState::Playing) return win::VK_APP4;
      if (state == AppState::HighScores || state == AppState::NameEntry) return win::VK_APP3;
      return 0;
    default:
      return key;
  }
}

}  // namespace app
