#include "platform/sdl/sdl_host.hpp"

#include <SDL.h>

#include <algorithm>

#include "platform/headless/headless_audio.hpp"
#include "platform/interruption.hpp"
#include "platform/sdl/single_instance.hpp"
#include "platform/sdl/window_layout.hpp"

namespace platform {
namespace {

constexpr auto kAudioStep = std::chrono::milliseconds(10);
constexpr int kMostAudioStepsAtOnce = 50;
// Reading the window system's connection costs a dozen system calls; the wait between
// passes already does it, so the peeks right after a wait only take what it brought in.
constexpr auto kPumpInterval = std::chrono::milliseconds(4);
// How long a second start's raise request may wait to be seen.
constexpr auto kInstanceInterval = std::chrono::milliseconds(100);

}  // namespace

SdlHost::SdlHost(SDL_Window* window, SdlDisplay& display, SingleInstance* instance, bool silentAudio)
    : window_(window),
      display_(display),
      instance_(instance),
      silentAudio_(silentAudio),
      audioClock_(Clock::now()) {}

SdlHost::~SdlHost() {
  for (Pad& pad : pads_) SDL_GameControllerClose(pad.controller);
}

bool SdlHost::quitRequested() const { return closed_ || interruptionRequested(); }

bool SdlHost::peekMessage(win::Message& out) {
  background();
  if (queue_.empty() && Clock::now() - lastPump_ >= kPumpInterval) {
    SDL_PumpEvents();
    lastPump_ = Clock::now();
  }
  SDL_Event event;
  while (queue_.empty() && SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    translate(event);
  }
  if (queue_.empty()) return false;
  out = queue_.front();
  queue_.pop_front();
  return true;
}

void SdlHost::waitForMessages(std::uint32_t timeoutMs) {
  background();
  if (!queue_.empty() || quitRequested()) return;
  int wait = static_cast<int>(std::min<std::uint32_t>(timeoutMs, kLongestWaitMs));
  const int due = display_.millisecondsUntilDue();
  if (due >= 0) wait = std::min(wait, due);
  SDL_Event event;
  // The event taken here is translated at once, so that it reaches the next peekMessage.
  if (SDL_WaitEventTimeout(&event, wait) != 0) translate(event);
  lastPump_ = Clock::now();
  display_.service();
}

void SdlHost::background() {
  if (!padsOpened_) {
    // Gamepads are welcome but not needed: looking for them (udev, the mapping database)
    // waits until the cover is on the screen and the main loop runs.
    padsOpened_ = true;
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  const auto now = Clock::now();
  if (instance_ != nullptr && now - lastInstanceCheck_ >= kInstanceInterval) {
    lastInstanceCheck_ = now;
    if (instance_->takeRaiseRequest()) raise();
  }
  display_.service();
  if (silentAudio_) {
    int steps = 0;
    while (now - audioClock_ >= kAudioStep && steps < kMostAudioStepsAtOnce) {
      headlessAudio().advance10ms();
      audioClock_ += kAudioStep;
      ++steps;
    }
    if (steps == kMostAudioStepsAtOnce) audioClock_ = now;
  }
}

void SdlHost::push(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
  queue_.push_back(win::Message{message, wParam, lParam});
}

void SdlHost::translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      closed_ = true;
      break;
    case SDL_WINDOWEVENT:
      windowEvent(event.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      key(event.key);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      // Touch is handled as fingers, not as the mouse SDL makes of it.
      if (event.button.which != SDL_TOUCH_MOUSEID) mouseButton(event.button);
      break;
    case SDL_MOUSEMOTION:
      // Only a pressed stylus moves: a hovering mouse must not act on the game.
      if (event.motion.which == SDL_TOUCH_MOUSEID || pen_ != Pen::Mouse) break;
      penAt(win::WM_MOUSEMOVE, event.motion.x, event.motion.y);
      break;
    case SDL_FINGERDOWN:
      if (pen_ != Pen::Up) break;
      pen_ = Pen::Finger;
      finger_ = event.tfinger.fingerId;
      fingerAt(win::WM_LBUTTONDOWN, event.tfinger.x, event.tfinger.y);
      break;
    case SDL_FINGERMOTION:
      if (pen_ == Pen::Finger && event.tfinger.fingerId == finger_) {
        fingerAt(win::WM_MOUSEMOVE, event.tfinger.x, event.tfinger.y);
      }
      break;
    case SDL_FINGERUP:
      if (pen_ == Pen::Finger && event.tfinger.fingerId == finger_) {
        pen_ = Pen::Up;
        fingerAt(win::WM_LBUTTONUP, event.tfinger.x, event.tfinger.y);
      }
      break;
    case SDL_CONTROLLERDEVICEADDED:
      padAdded(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      padRemoved(event.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (Pad* pad = findPad(event.cbutton.which)) {
        const std::uint32_t virtualKey = gamepadButtonKey(static_cast<SDL_GameControllerButton>(event.cbutton.button));
        if (virtualKey != 0) padKey(*pad, virtualKey, event.type == SDL_CONTROLLERBUTTONDOWN);
      }
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (Pad* pad = findPad(event.caxis.which)) {
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
          padAxis(*pad, pad->x, event.caxis.value, win::VK_LEFT, win::VK_RIGHT);
        } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
          padAxis(*pad, pad->y, event.caxis.value, win::VK_UP, win::VK_DOWN);
        }
      }
      break;
    default:
      break;
  }
}

void SdlHost::windowEvent(const SDL_WindowEvent& event) {
  std::vector<win::Message> messages;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      closed_ = true;
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      messages = activation_.translate(WindowChange::FocusGained);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      messages = activation_.translate(WindowChange::FocusLost);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      messages = activation_.translate(WindowChange::Minimised);
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      display_.invalidate();
      break;
    default:
      break;
  }
  queue_.insert(queue_.end(), messages.begin(), messages.end());
}

void SdlHost::key(const SDL_KeyboardEvent& event) {
  if (event.type == SDL_KEYUP) {
    const std::uint32_t virtualKey = heldKeys_.release(event.keysym.scancode);
    if (virtualKey != 0) push(win::WM_KEYUP, virtualKey);
    return;
  }
  const TranslatedKey translated = translateKey(event.keysym.sym, event.keysym.mod);
  switch (translated.action) {
    case KeyAction::ToggleFullscreen:
      if (event.repeat == 0) toggleFullscreen();
      break;
    case KeyAction::Message:
      // Auto-repeat gives repeated key-downs, as the handheld's keys did.
      heldKeys_.press(event.keysym.scancode, translated.virtualKey);
      push(win::WM_KEYDOWN, translated.virtualKey);
      break;
    case KeyAction::None:
      break;
  }
}

void SdlHost::mouseButton(const SDL_MouseButtonEvent& event) {
  const bool down = event.type == SDL_MOUSEBUTTONDOWN;
  if (event.button == SDL_BUTTON_LEFT) {
    if (down && pen_ == Pen::Up) {
      pen_ = Pen::Mouse;
      penAt(win::WM_LBUTTONDOWN, event.x, event.y);
    } else if (!down && pen_ == Pen::Mouse) {
      pen_ = Pen::Up;
      penAt(win::WM_LBUTTONUP, event.x, event.y);
    }
    return;
  }
  if (!down) {
    const std::uint32_t virtualKey = heldButtons_.release(event.button);
    if (virtualKey != 0) push(win::WM_KEYUP, virtualKey);
    return;
  }
  const std::uint32_t virtualKey = mouseButtonKey(event.button);
  if (virtualKey == 0) return;
  heldButtons_.press(event.button, virtualKey);
  push(win::WM_KEYDOWN, virtualKey);
}

void SdlHost::penAt(std::uint32_t message, int windowX, int windowY) {
  display_.windowToSurface(windowX, windowY);
  int width = 0;
  int height = 0;
  SDL_GetWindowSizeInPixels(window_, &width, &height);
  const PicturePoint point = windowToPicture(layoutPicture(width, height), windowX, windowY);
  push(message, 0, win::packPenPosition(point.x, point.y));
}

void SdlHost::fingerAt(std::uint32_t message, float x, float y) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSizeInPixels(window_, &width, &height);
  // Finger positions come as fractions of the window.
  const int windowX = static_cast<int>(x * static_cast<float>(width));
  const int windowY = static_cast<int>(y * static_cast<float>(height));
  const PicturePoint point = windowToPicture(layoutPicture(width, height), windowX, windowY);
  push(message, 0, win::packPenPosition(point.x, point.y));
}

SdlHost::Pad* SdlHost::findPad(SDL_JoystickID id) {
  for (Pad& pad : pads_) {
    if (pad.id == id) return &pad;
  }
  return nullptr;
}

void SdlHost::padAdded(int deviceIndex) {
  // Pads present at start are announced too; a pad already open is not opened twice.
  if (findPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) return;
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) return;
  Pad pad;
  pad.controller = controller;
  pad.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  pads_.push_back(std::move(pad));
}

void SdlHost::padRemoved(SDL_JoystickID id) {
  Pad* pad = findPad(id);
  if (pad == nullptr) return;
  // A pad pulled out with a direction held lets go of it.
  for (std::uint32_t virtualKey : pad->held) push(win::WM_KEYUP, virtualKey);
  SDL_GameControllerClose(pad->controller);
  std::erase_if(pads_, [id](const Pad& p) { return p.id == id; });
}

void SdlHost::padKey(Pad& pad, std::uint32_t virtualKey, bool down) {
  const auto held = std::find(pad.held.begin(), pad.held.end(), virtualKey);
  if (down && held == pad.held.end()) pad.held.push_back(virtualKey);
  if (!down && held != pad.held.end()) pad.held.erase(held);
  push(down ? win::WM_KEYDOWN : win::WM_KEYUP, virtualKey);
}

void SdlHost::padAxis(Pad& pad, StickAxis& axis, int value, std::uint32_t negativeKey, std::uint32_t positiveKey) {
  const int before = axis.direction();
  const int after = axis.update(value);
  if (before == after) return;
  if (before != 0) padKey(pad, before < 0 ? negativeKey : positiveKey, false);
  if (after != 0) padKey(pad, after < 0 ? negativeKey : positiveKey, true);
}

void SdlHost::toggleFullscreen() {
  const bool fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
  SDL_SetWindowFullscreen(window_, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  display_.invalidate();
}

void SdlHost::raise() {
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0) SDL_RestoreWindow(window_);
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  display_.invalidate();
}

}  // namespace platform
