// The desktop backend over SDL2: the window with its frame buffer device and event queue,
// the mixer, the font, message boxes, the single running copy.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/host.hpp"
#include "platform/text_rasteriser.hpp"

namespace platform {

class SingleInstance;

struct WindowSettings {
  int scale = 0;  // 0: the largest integer scale that fits the desktop, at least 2
  bool fullscreen = false;
  // The claim of the running copy, polled from the event loop for raise requests; may be null.
  SingleInstance* instance = nullptr;
};

class SdlBackend {
 public:
  // Opens the window and installs the display device, audio backend, text rasteriser and
  // message box handler. Null, with the reason in `error`, when no window can be opened.
  static std::unique_ptr<SdlBackend> create(const WindowSettings& settings, std::string& error);
  virtual ~SdlBackend() = default;
  virtual Host& host() = 0;
};

// An error box shown without the game's window (before one is opened, or instead of it);
// where no display is at hand it goes to standard error as "messagebox: TEXT | CAPTION".
void showErrorBox(std::string_view text, std::string_view caption);

// For headless runs: text over SDL2_ttf alone, without a window or a sound device.
std::unique_ptr<TextRasteriser> createTtfRasteriser();

}  // namespace platform
