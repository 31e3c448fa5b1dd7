// The window's event queue as the main loop sees it: SDL events become the handheld's
// window messages, one queue of them, taken off one at a time.
#pragma once

#include <SDL_events.h>
#include <SDL_gamecontroller.h>
#include <SDL_video.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/host.hpp"
#include "platform/sdl/input_translation.hpp"
#include "platform/sdl/sdl_display.hpp"

namespace platform {

class SingleInstance;

class SdlHost : public Host {
 public:
  // `silentAudio`: the sound fell back to the silent backend, whose clips this host then
  // brings to their end in real time.
  SdlHost(SDL_Window* window, SdlDisplay& display, SingleInstance* instance, bool silentAudio);
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  bool peekMessage(win::Message& out) override;
  // Never longer than kLongestWaitMs, so that a signal or a second start is noticed soon,
  // nor past the moment a pending window update falls due.
  void waitForMessages(std::uint32_t timeoutMs) override;
  bool quitRequested() const override;

  static constexpr int kLongestWaitMs = 100;

 private:
  enum class Pen { Up, Mouse, Finger };
  struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    StickAxis x;
    StickAxis y;
    std::vector<std::uint32_t> held;  // keys this pad holds down
  };

  void background();
  void translate(const SDL_Event& event);
  void windowEvent(const SDL_WindowEvent& event);
  void key(const SDL_KeyboardEvent& event);
  void mouseButton(const SDL_MouseButtonEvent& event);
  void penAt(std::uint32_t message, int windowX, int windowY);
  void fingerAt(std::uint32_t message, float x, float y);
  void padAdded(int deviceIndex);
  void padRemoved(SDL_JoystickID id);
  void padKey(Pad& pad, std::uint32_t virtualKey, bool down);
  void padAxis(Pad& pad, StickAxis& axis, int value, std::uint32_t negativeKey, std::uint32_t positiveKey);
  Pad* findPad(SDL_JoystickID id);
  void toggleFullscreen();
  void raise();
  void push(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam = 0);

  using Clock = std::chrono::steady_clock;

  SDL_Window* window_;
  SdlDisplay& display_;
  SingleInstance* instance_;
  bool silentAudio_;
  bool padsOpened_ = false;
  Clock::time_point audioClock_;
  Clock::time_point lastPump_{};
  Clock::time_point lastInstanceCheck_{};

  std::deque<win::Message> queue_;
  HeldKeys heldKeys_;
  HeldKeys heldButtons_;  // mouse buttons that act as keys
  ActivationFilter activation_;
  Pen pen_ = Pen::Up;
  SDL_FingerID finger_ = 0;
  std::vector<Pad> pads_;
  bool closed_ = false;
};

}  // namespace platform
