#include "platform/display_device.hpp"

#include "platform/headless/headless_display.hpp"

namespace platform {
namespace {

DisplayDevice* installed = nullptr;

}  // namespace

DisplayDevice& displayDevice() { return installed != nullptr ? *installed : headlessDisplay(); }

void setDisplayDevice(DisplayDevice* device) { installed = device; }

}  // namespace platform
