// The program's frame: start-up, the main loop with its update and draw timers, the window
// procedure that routes messages to the application object, and the orderly shutdown.
#pragma once

#include <cstdint>
#include <memory>

#include "app/game_app.hpp"
#include "app/game_recorder.hpp"
#include "app/replay_recorder.hpp"
#include "gfx/display.hpp"
#include "platform/host.hpp"
#include "shell/frame_timer.hpp"

namespace app {

class Program {
 public:
  Program();
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The process-wide state, the score display, the random seed, the display, the timers,
  // the shared assets and the application object, in that order; the cover is presented
  // before the screens load. Always succeeds.
  bool startUp();

  // One pass of main-loop work: present, then update and draw when their timers are due.
  void tick();

  // Saves a game in progress, then frees everything in a fixed order.
  void shutDown();

  // Routes one window message through the message table; always returns 0.
  std::int32_t windowProcedure(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam);

  // Passes until the quit key, a closed window or a signal ends the loop. Sleeps until the
  // next timer falls due instead of spinning.
  void runMainLoop(platform::Host& host);

  GameApp* app() { return app_.get(); }
  // Records every game played; null before start-up.
  const GameRecorder* gameRecorder() const { return gameRecorder_.get(); }

  // Records the messages and passes of this run. A recorded run keeps its update and draw in
  // step, one of each per pass, exactly as a replay runs them.
  void setRecorder(ReplayRecorder* recorder) { recorder_ = recorder; }

 private:
  using Handler = std::int32_t (Program::*)(std::uint32_t wParam, std::int32_t lParam);
  struct MessageEntry {
    std::uint32_t message;
    Handler handler;
  };
  static const MessageEntry kMessageTable[8];

  std::int32_t onActivate(std::uint32_t wParam, std::int32_t lParam);
  std::int32_t onKeyDown(std::uint32_t wParam, std::int32_t lParam);
  std::int32_t onKeyUp(std::uint32_t wParam, std::int32_t lParam);
  std::int32_t onSetFocus(std::uint32_t wParam, std::int32_t lParam);
  std::int32_t onKillFocus(std::uint32_t wParam, std::int32_t lParam);
  std::int32_t onPenDown(std::uint32_t wParam, std::int32_t lParam);
  std::int32_t onPenMove(std::uint32_t wParam, std::int32_t lParam);
  std::int32_t onPenUp(std::uint32_t wParam, std::int32_t lParam);

  // The pen position of a stylus message, held to the screen (pixels); recorded, then stored.
  void takePenPosition(replay::Event::Kind kind, std::int32_t lParam);
  void record(const replay::Event& event);
  std::uint32_t millisecondsUntilNextTimer() const;

  std::unique_ptr<gfx::Display> display_;
  std::unique_ptr<shell::FrameTimer> drawTimer_;
  std::unique_ptr<shell::FrameTimer> updateTimer_;
  std::unique_ptr<GameApp> app_;
  std::unique_ptr<GameRecorder> gameRecorder_;
  ReplayRecorder* recorder_ = nullptr;
};

}  // namespace app
