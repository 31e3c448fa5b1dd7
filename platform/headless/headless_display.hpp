// A display that keeps its frame in memory and shows it nowhere: for headless runs and tests.
#pragma once

#include <array>

#include "platform/display_device.hpp"

namespace platform {

class HeadlessDisplay : public DisplayDevice {
 public:
  DisplayProperties properties() const override { return {}; }
  void openDisplay() override {}
  void openInput() override {}
  std::uint16_t* beginDraw() override { return frame_.data(); }
  void frameChanged() override {}
  void suspend() override { suspended_ = true; }
  void resume() override { suspended_ = false; }
  void endDraw() override {}
  void closeInput() override {}
  void closeDisplay() override {}

  const std::uint16_t* frame() const { return frame_.data(); }
  bool suspended() const { return suspended_; }

 private:
  std::array<std::uint16_t, kFramePixels> frame_{};
  bool suspended_ = false;
};

HeadlessDisplay& headlessDisplay();

}  // namespace platform
