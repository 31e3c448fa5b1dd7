#include "platform/headless/headless_display.hpp"

namespace platform {

HeadlessDisplay& headlessDisplay() {
  static HeadlessDisplay display;
  return display;
}

}  // namespace platform
